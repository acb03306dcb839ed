#include "app/windows/grab_start/start_url_thread.h"

#include <utility>

#include "engine/crawl/start_redirection.h"

CStartURLThread::CStartURLThread(const CConfiguration& configuration, std::string url, Done done)
    : mDone(std::move(done))
{
    mResult.url = std::move(url);
    mResult.configuration = configuration;
}

CStartURLThread::~CStartURLThread()
{
    if (mDone) Report();
}

void CStartURLThread::StopCheck()
{
    if (IsFinished()) return;
    RequestStop();
    mResult.stopped = true;
    if (CThread::Current() != this) Wake();
}

void* CStartURLThread::Run()
{
    try {
        for (int step = 0; step < kMaxRedirections; ++step) {
            CheckStop();
            // One step at a time, so a stop request is seen between steps;
            // a step that changes site drops the logins for good.
            if (FollowStartRedirections(mResult.configuration, mResult.url, 1, &mResult.answer) == 0) break;
            mResult.redirected = true;
        }
        CheckStop();
    } catch (const CThread::CStopException&) {
        mResult.stopped = true;
    }
    Report();
    return nullptr;
}

void CStartURLThread::Report()
{
    Done done = std::move(mDone);
    mDone = nullptr;
    done(this, mResult);
}
