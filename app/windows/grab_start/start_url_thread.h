// CStartURLThread: checks a start URL before its grab, on a cooperative
// thread, so the window keeps drawing and answering while the server is
// slow: up to kMaxRedirections redirection steps of the start page, taken on
// the grab's own copy of the configuration, which loses its logins once a
// step leads to another site. A stop request ends the check at once (an
// unanswered request is cancelled).
#pragma once

#include <functional>
#include <string>

#include "engine/config/configuration.h"
#include "engine/crawl/start_answer.h"
#include "foundation/threads/thread.h"

class CStartURLThread : public CThread {
public:
    static constexpr int kMaxRedirections = 11;

    struct SResult {
        std::string url;          // the URL after the steps taken
        bool redirected = false;  // at least one step changed it
        bool stopped = false;     // a stop request ended the check
        // The configuration the grab must use: the one given, without its
        // logins when the start URL was redirected to another site.
        CConfiguration configuration;
        // What the last step learned of `url`, for the crawl.
        CStartAnswer answer;
    };
    // Called on this thread when the check ends, however it ends (also for
    // a thread deleted before it ran).
    using Done = std::function<void(CStartURLThread* thread, SResult& result)>;

    CStartURLThread(const CConfiguration& configuration, std::string url, Done done);
    ~CStartURLThread() override;

    // Stops the check and wakes a wait for the server.
    void StopCheck();

protected:
    void* Run() override;

private:
    void Report();

    SResult mResult;
    Done mDone;
};
