// What the update of a downloaded folder asks of the window that runs it.
//
// The engine never includes the windows: the update window implements this
// interface, and tests use a recording implementation.
#pragma once

#include <string>

class CUpdateWindowInterface {
public:
    virtual ~CUpdateWindowInterface() = default;

    // Starts and shows the busy indicator, or stops and hides it.
    virtual void ShowBusy(bool busy) = 0;
    // Set while the update walks the folder; the window's stop waits for it
    // to clear.
    virtual void SetRunning(bool running) = 0;
    // Both append `text` and a carriage return at the end of the log pane.
    virtual void LogText(const std::string& text) = 0;
    virtual void LogLine(const std::string& text) = 0;
    // The update thread is about to be deleted: the window forgets it.
    virtual void ClearThreadPointer() = 0;
};
