// An update window for tests: writes down every call, and runs an update
// thread to its end.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "engine/update/update_window_interface.h"
#include "foundation/files/file_ref.h"

class CUpdateIterator;

class CRecordingUpdateWindow : public CUpdateWindowInterface {
public:
    void ShowBusy(bool busy) override { calls.push_back(busy ? "busy on" : "busy off"); }
    void SetRunning(bool running) override
    {
        this->running = running;
        calls.push_back(running ? "running on" : "running off");
    }
    void LogText(const std::string& text) override { Log(text); }
    void LogLine(const std::string& text) override { Log(text); }
    void ClearThreadPointer() override
    {
        updater = nullptr;
        cleared = true;
        calls.push_back("cleared");
    }

    // Starts an update of `folder` (a self-deleting thread, as the window
    // makes it) and runs the scheduler until the thread is gone; `whileRunning`
    // is checked after every pass and may act on the thread. False when the
    // thread has not ended within `limit`.
    bool RunUpdate(const CFileRef& folder,
                   const std::function<void(CUpdateIterator&)>& whileRunning = {},
                   std::chrono::seconds limit = std::chrono::seconds(60));

    // The log pane's text: each logged text followed by a carriage return.
    std::string logPane;
    // Every call in order; logged texts as "log <text>".
    std::vector<std::string> calls;
    bool running = false;
    bool cleared = false;
    CUpdateIterator* updater = nullptr;

private:
    void Log(const std::string& text)
    {
        logPane += text + "\r";
        calls.push_back("log " + text);
    }
};
