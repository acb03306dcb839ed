// CTWLPreferencesWindow: the four application-wide switches and a button
// that opens the folder holding the log file. At most one exists; the
// preferences command brings it to the front. Each switch is stored as soon
// as it is clicked ("true" or "false"), and the rest of the program reads
// the switches through the four accessors, so a missing key means on
// everywhere.
#pragma once

#include "app/framework/window.h"

class CTWLPreferencesWindow : public CWindow, public CListener {
public:
    CTWLPreferencesWindow(const SLayout& layout, CCommander* superCommander);
    ~CTWLPreferencesWindow() override;

    // Builds the window, or brings the one that exists to the front.
    static CTWLPreferencesWindow* Open(CCommander* superCommander);
    // The window that exists, or null.
    static CTWLPreferencesWindow* Current() { return sWindow; }

    static bool GetGenerateLog();
    static bool GetAllowSecondaryDomains();
    static bool GetGrabOffsiteURLs();
    static bool GetURLsFromDisk();

    void ListenToMessage(MessageT message, void* ioParam) override;

protected:
    void FinishCreateSelf() override;

private:
    static CTWLPreferencesWindow* sWindow;
};
