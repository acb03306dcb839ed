#include "engine/crawl/site_iterator_thread.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/errors/framework_exception.h"
#include "foundation/errors/status.h"

CSiteIteratorThread::CSiteIteratorThread(CCrawlListener& listener, const SCrawlOptions& options,
                                         CConfiguration* configuration, const CURL& startURL,
                                         CCrawlCollaborators collaborators)
    : mListener(listener), mOptions(options), mConfiguration(configuration), mStartURL(startURL),
      mCollaborators(std::move(collaborators)), mStartTime(mCollaborators.clock())
{
}

CSiteIteratorThread::~CSiteIteratorThread()
{
    mEndTime = mCollaborators.clock();
    mElapsed = mEndTime - mStartTime;
    SCrawlOutcome outcome;
    outcome.failure = mRunFailure;
    outcome.elapsedSeconds = mElapsed;
    if (mDriver) {
        outcome.filesSaved = mDriver->Counters().saved;
        if (outcome.failure.empty()) outcome.failure = mDriver->FailureText();
        outcome.stoppedByUser = mUserStopped;
        outcome.abortedByError = mDriver->IsAbortedByError();
    }
    outcome.began = mDriver != nullptr || !outcome.failure.empty();
    mDriver.reset();
    mListener.CrawlEnded(this, outcome);
}

void CSiteIteratorThread::StopCrawl(bool byError)
{
    if (!byError) mUserStopped = true;
    if (mDriver) {
        mDriver->Stop(byError);
        return;
    }
    // Kept for the driver; the thread's own stop request ends a wait of
    // the set-up at once.
    mStopPending = true;
    if (byError) mStopPendingByError = true;
    if (!IsFinished()) {
        RequestStop();
        if (CThread::Current() != this) Wake();
    }
}

void CSiteIteratorThread::GetProgress(std::int32_t& level, std::int32_t& index, std::int32_t& count) const
{
    level = mDriver ? mDriver->Level() : 0;
    index = mDriver ? mDriver->Index() : 0;
    count = mDriver ? mDriver->LevelSize() : 0;
}

void* CSiteIteratorThread::Run()
{
    try {
        RunGrab();
    } catch (const CThread::CStopException&) {
    } catch (const CFrameworkException& error) {
        mRunFailure = error.GetErrorString();
        mListener.CrawlLog(mRunFailure, ELogLine::kFailure);
    } catch (const std::exception&) {
        mRunFailure = "The crawl ended: " + StatusFromCurrentException().Text();
        std::fprintf(stderr, "%s\n", mRunFailure.c_str());
        mListener.CrawlLog(mRunFailure, ELogLine::kFailure);
    }
    // However the crawl ended, links written to files that never came are
    // turned back to the server's URLs.
    if (mDriver) mDriver->Relinking().FinishRelinking();
    FinishCrawl();
    return nullptr;
}

void CSiteIteratorThread::RunGrab()
{
    if (mStopPending || mConfiguration == nullptr) return;
    const CMiscOptions& misc = mConfiguration->mMiscOptions;
    mListener.CrawlStateChanged(ECrawlState::kRunning, mCollaborators.clock());
    const bool notify = mOptions.notificationMails && misc.generateEmail;
    if (notify) {
        mListener.CrawlStatus("Sending start mail");
        mListener.NotificationMail(misc.startMessage.str());
    }

    mDriver = std::make_unique<CSiteIterator>(mListener, mOptions, mConfiguration, mStartURL, mCollaborators);
    mCollaborators.startAnswer = {};  // the driver's now
    if (mStopPending) mDriver->Stop(mStopPendingByError);
    mDriver->Init(mConfiguration, mStartURL);
    mDriver->Crawl();

    // A grab that failed got nothing to map or keep; the files of the last
    // grab that worked stay as they are.
    if (!mDriver->FailureText().empty()) return;
    const std::string logFolder = misc.logFolder.c_str();
    if (misc.generateSiteMap) mDriver->GenerateSiteMap(false);
    if (misc.extractEmailAddresses) mDriver->Reports().SaveEmailAddresses(logFolder);
    if (mConfiguration->mGeneralOptions.useCookies) mDriver->Reports().SaveCookies(logFolder, mDriver->Cookies());
    if (notify) {
        mListener.CrawlStatus("Sending finish mail");
        mListener.NotificationMail(misc.finishMessage.str());
    }
}

void CSiteIteratorThread::FinishCrawl()
{
    mListener.CrawlStateChanged(ECrawlState::kDone, mCollaborators.clock());
    if (mCollaborators.outlets.restoreTile) mCollaborators.outlets.restoreTile();
}
