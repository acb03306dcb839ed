#include "engine/crawl/site_iterator_thread.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "engine/config/configuration.h"
#include "engine/crawl/elapsed_time.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/window_interfaces.h"
#include "foundation/errors/framework_exception.h"

CSiteIteratorThread::CSiteIteratorThread(CGrabberInterface* window, CConfiguration* configuration,
                                         const CURL& startURL, CCrawlCollaborators collaborators)
    : mConfiguration(configuration), mStartURL(startURL), mCollaborators(std::move(collaborators)),
      mStartTime(mCollaborators.clock()), mGrabberWindow(window)
{
}

CSiteIteratorThread::CSiteIteratorThread(CConfiguration* configuration, const CURL& startURL,
                                         CQuickerGrabberInterface* window, CCrawlCollaborators collaborators)
    : mConfiguration(configuration), mStartURL(startURL), mCollaborators(std::move(collaborators)),
      mStartTime(mCollaborators.clock()), mQuickWindow(window)
{
    if (mQuickWindow != nullptr) mQuickWindow->StartSpinner();
}

CSiteIteratorThread::~CSiteIteratorThread()
{
    CCrawlOwner* window = mGrabberWindow != nullptr ? static_cast<CCrawlOwner*>(mGrabberWindow) : mQuickWindow;
    if (window != nullptr) window->StopSpinner();
    mEndTime = mCollaborators.clock();
    mElapsed = mEndTime - mStartTime;
    SCrawlOutcome outcome;
    outcome.failure = mRunFailure;
    if (mDriver) {
        outcome.filesSaved = mDriver->Counters().saved;
        if (outcome.failure.empty()) outcome.failure = mDriver->FailureText();
        outcome.stoppedByUser = mUserStopped;
    }
    if ((mDriver || !outcome.failure.empty()) && mQuickWindow != nullptr) {
        std::string text;
        if (mDriver && mDriver->IsAbortedByError())
            text = "The download was aborted because an error occurred. Please check you network connectivity.";
        else if (!outcome.failure.empty())
            text = outcome.failure;  // a failed grab is never "Done."
        else
            text = (mUserStopped ? "Aborted. Elapsed time = " : "Done. Elapsed time = ") + ElapsedTimeText(mElapsed);
        mQuickWindow->SetMessageText(text);
        mQuickWindow->HideLevelProgress();
        mQuickWindow->HidePauseButton();
    }
    if ((mDriver || !outcome.failure.empty()) && window != nullptr) window->CrawlEnded(outcome);
    mDriver.reset();
    if (window != nullptr) window->CrawlThreadEnded(this);
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

CCookieStore* CSiteIteratorThread::RunningCookieStore() const
{
    return mDriver ? mDriver->RunningCookieStore() : nullptr;
}

std::string CSiteIteratorThread::StartHost() const { return mDriver ? mDriver->StartHost() : mStartURL.mHost; }

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
        if (mGrabberWindow != nullptr) mGrabberWindow->LogErrorText(mRunFailure);
    } catch (const std::exception& error) {
        mRunFailure = std::string("The crawl ended: ") + error.what();
        std::fprintf(stderr, "%s\n", mRunFailure.c_str());
        if (mGrabberWindow != nullptr) mGrabberWindow->LogErrorText(mRunFailure);
    }
    // However the crawl ended, links written to files that never came are
    // turned back to the server's URLs.
    if (mDriver) mDriver->FinishRelinking();
    FinishWindow();
    return nullptr;
}

void CSiteIteratorThread::RunGrab()
{
    if (mStopPending || mConfiguration == nullptr) return;
    const CMiscOptions& misc = mConfiguration->mMiscOptions;
    if (mGrabberWindow != nullptr) {
        mGrabberWindow->SetButtonTitle(MakeFourCharCode("CNCL"), "Stop");
        mGrabberWindow->SetButtonTitle(MakeFourCharCode("Star"), "Pause");
        mGrabberWindow->SetCrawlState(kWindowRunning);
        if (misc.generateEmail) {
            mGrabberWindow->SetStatusText(" Sending start mail");
            mGrabberWindow->SendNotificationMail(misc.startMessage.str());
        }
    }

    mDriver = mGrabberWindow != nullptr
                  ? std::make_unique<CSiteIterator>(mGrabberWindow, mConfiguration, mStartURL, mCollaborators)
                  : std::make_unique<CSiteIterator>(mConfiguration, mStartURL, mQuickWindow, mCollaborators);
    mCollaborators.startAnswer = {};  // the driver's now
    if (mStopPending) mDriver->Stop(mStopPendingByError);
    mDriver->Init(mConfiguration, mStartURL);
    mDriver->Crawl();

    // A grab that failed got nothing to map or keep; the files of the last
    // grab that worked stay as they are.
    if (!mDriver->FailureText().empty()) return;
    const std::string logFolder = misc.logFolder.c_str();
    if (misc.generateSiteMap) mDriver->GenerateSiteMap(false);
    if (misc.extractEmailAddresses) mDriver->SaveEmailAddresses(logFolder);
    if (mConfiguration->mGeneralOptions.useCookies) mDriver->SaveCookies(logFolder);
    if (mGrabberWindow != nullptr && misc.generateEmail) {
        mGrabberWindow->SetStatusText(" Sending finish mail");
        mGrabberWindow->SendNotificationMail(misc.finishMessage.str());
    }
}

void CSiteIteratorThread::FinishWindow()
{
    if (mGrabberWindow != nullptr) {
        mGrabberWindow->SetCrawlState(kWindowDone);
        mGrabberWindow->SetButtonTitle(MakeFourCharCode("CNCL"), "Done");
        mGrabberWindow->SetButtonTitle(MakeFourCharCode("Star"), "Start");
        mGrabberWindow->SetStatusText("Idle");
        mGrabberWindow->SetPaneText(MakeFourCharCode("FTIM"), TimeOfDayText(mCollaborators.clock()));
    }
    if (mQuickWindow != nullptr) {
        mQuickWindow->HidePauseButton();
        mQuickWindow->SetCrawlState(kWindowDone);
        if (mQuickWindow->IsDownloadOnePage()) mQuickWindow->EnableButton(MakeFourCharCode("Down"));
        mQuickWindow->SetGrabButtonDone();
    }
    if (mCollaborators.outlets.restoreTile) mCollaborators.outlets.restoreTile();
}
