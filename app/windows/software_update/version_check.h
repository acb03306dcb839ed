// The check for a newer version, on a cooperative thread so the windows
// keep answering: it fetches the version list with a total deadline,
// compares it with the own version and shows the window for the outcome.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "app/windows/software_update/version_list.h"
#include "foundation/threads/thread.h"

class CCommander;
class CWindow;

class CVersionCheckThread : public CThread {
public:
    // Called on this thread with the outcome, before its window shows.
    using Done = std::function<void(EVersionCheck result, const CUpdateInfo& info)>;

    CVersionCheckThread(std::string url, bool quiet, CCommander* superCommander, Done done = {});
    ~CVersionCheckThread() override;

    static CVersionCheckThread* Current() { return sCurrent; }
    // The whole check's deadline, however slowly the server answers.
    static void SetDeadline(std::chrono::milliseconds deadline);

protected:
    void* Run() override;

private:
    EVersionCheck Check(CUpdateInfo& info);
    void ShowResult(EVersionCheck result, const CUpdateInfo& info);

    std::string mURL;
    bool mQuiet;
    CCommander* mSuperCommander;
    Done mDone;
    CWindow* mCheckingWindow = nullptr;

    static CVersionCheckThread* sCurrent;
};
