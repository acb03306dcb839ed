#include "app/windows/grab_start/grab_start.h"

#include <utility>

#include <QApplication>

#include "app/framework/dialog.h"
#include "app/framework/recent_items.h"
#include "app/windows/grab_start/grab_start_layout.h"
#include "engine/config/configuration.h"
#include "engine/crawl/grab_failure.h"
#include "engine/crawl/grab_start.h"
#include "engine/url/url_record.h"

void CGrabStart::Start()
{
    if (mCheckThread != nullptr || !mWindow.BeginGrabStart()) return;
    const std::string text = mWindow.StartURLText();
    if (text.empty()) {
        QApplication::beep();
        mWindow.TellGrabStart("The starting URL is empty!", false);
        mWindow.GrabStartRefused();
        return;
    }
    // The built-in settings in place of the chosen ones would mirror
    // elsewhere and by other rules.
    if (const std::string failure = mWindow.TakeGrabConfiguration(); !failure.empty()) {
        QApplication::beep();
        mWindow.TellGrabStart(failure, false);
        mWindow.GrabStartRefused();
        return;
    }
    CConfiguration& configuration = mWindow.GrabConfiguration();
    // Refused before anything is made for it (recent item, folder, log).
    const std::string url = StartURLForGrab(configuration, text);
    if (const std::string refusal = UnsupportedSchemeRefusal(url); !refusal.empty()) {
        QApplication::beep();
        mWindow.TellGrabStart(refusal, true);
        mWindow.GrabStartRefused();
        return;
    }
    mWindow.LockStartPanes(true);
    if (CRecentItems* items = GetRecentItems()) items->AddItem(text);
    mWindow.GrabStartAccepted();

    if (MakeDownloadFolder(configuration).Failed()) {
        SAlert alert;
        alert.kind = EAlertKind::kCaution;
        alert.text = kDownloadFolderFailure;
        RunAlert(alert);
        mWindow.TellGrabStart(kDownloadFolderFailure, true);
        mWindow.DisableGrabStart();
        return;
    }

    // The check may take a while: it can be stopped, not started twice.
    mWindow.ShowStartChecking("Checking the starting URL");
    mWindow.StartSpinner();
    mCheckThread = new CStartURLThread(configuration, url,
                                       [this](CStartURLThread* thread, CStartURLThread::SResult& result) {
                                           Checked(thread, result);
                                       });
    mCheckThread->Resume();
}

void CGrabStart::StopCheck()
{
    if (mCheckThread != nullptr) mCheckThread->StopCheck();
}

void CGrabStart::Checked(CStartURLThread* thread, CStartURLThread::SResult& result)
{
    if (thread != mCheckThread) return;
    mCheckThread = nullptr;
    if (mWindow.IsGrabWindowClosing()) return;
    if (result.stopped || mWindow.IsGrabStopRequested()) {
        mWindow.EndGrabWithoutCrawl();
        return;
    }
    if (result.redirected) mWindow.TellGrabStart("Note: The starting URL was redirected.", false);
    mWindow.GrabConfiguration() = result.configuration;
    const CURL parsed(result.url);
    if (parsed.mURL.empty() || parsed.mHost.empty()) {
        mWindow.StopSpinner();
        QApplication::beep();
        RunModalDialog(grabstart::kBadURLDialog, "StartGrab");
        mWindow.RestoreAfterBadStartURL();
        return;
    }
    mWindow.StartCrawl(CURL(parsed.mURL), std::move(result.answer));
}

bool AskToCloseDuringGrab() { return RunModalDialog(grabstart::kCloseDialog, "ObeyCommand") != kMsgCancel; }
