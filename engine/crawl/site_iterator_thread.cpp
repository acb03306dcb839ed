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
                                         const CURL& startURL, CCrawlProgressOutlets outlets)
    : mConfiguration(configuration), mStartURL(startURL), mStartTime(CrawlClockNow()), mGrabberWindow(window),
      mOutlets(std::move(outlets))
{
}

CSiteIteratorThread::CSiteIteratorThread(CConfiguration* configuration, const CURL& startURL,
                                         CQuickerGrabberInterface* window, CCrawlProgressOutlets outlets)
    : mConfiguration(configuration), mStartURL(startURL), mStartTime(CrawlClockNow()), mQuickWindow(window),
      mOutlets(std::move(outlets))
{
    if (mQuickWindow != nullptr) mQuickWindow->StartSpinner();
}

CSiteIteratorThread::~CSiteIteratorThread()
{
    CCrawlOwner* window = mGrabberWindow != nullptr ? static_cast<CCrawlOwner*>(mGrabberWindow) : mQuickWindow;
    if (window != nullptr) window->StopSpinner();
    mEndTime = CrawlClockNow();
    mElapsed = mEndTime - mStartTime;
    if (mDriver && mQuickWindow != nullptr) {
        std::string text;
        if (mDriver->IsAbortedByError())
            text = "The download was aborted because an error occurred. Please check you network connectivity.";
        else
            text = (mUserStopped ? "Aborted. Elapsed time = " : "Done. Elapsed time = ") + ElapsedTimeText(mElapsed);
        mQuickWindow->SetMessageText(text);
        mQuickWindow->HideLevelProgress();
        mQuickWindow->HidePauseButton();
    }
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
        if (mGrabberWindow != nullptr) mGrabberWindow->LogText(error.GetErrorString());
        else if (mQuickWindow != nullptr) mQuickWindow->SetMessageText(error.GetErrorString());
    } catch (const std::exception& error) {
        const std::string text = std::string("The crawl ended: ") + error.what();
        std::fprintf(stderr, "%s\n", text.c_str());
        if (mGrabberWindow != nullptr) mGrabberWindow->LogText(text);
        else if (mQuickWindow != nullptr) mQuickWindow->SetMessageText(text);
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
                  ? std::make_unique<CSiteIterator>(mGrabberWindow, mConfiguration, mStartURL, mOutlets)
                  : std::make_unique<CSiteIterator>(mConfiguration, mStartURL, mQuickWindow, mOutlets);
    if (mStopPending) mDriver->Stop(mStopPendingByError);
    mDriver->Init(mConfiguration, mStartURL);
    mDriver->Crawl();

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
        mGrabberWindow->SetPaneText(MakeFourCharCode("FTIM"), TimeOfDayText(CrawlClockNow()));
    }
    if (mQuickWindow != nullptr) {
        mQuickWindow->HidePauseButton();
        mQuickWindow->SetCrawlState(kWindowDone);
        if (mQuickWindow->IsDownloadOnePage()) mQuickWindow->EnableButton(MakeFourCharCode("Down"));
        mQuickWindow->SetGrabButtonDone();
    }
    if (mOutlets.restoreTile) mOutlets.restoreTile();
}
