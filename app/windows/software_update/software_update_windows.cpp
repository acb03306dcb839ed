#include "app/windows/software_update/software_update_windows.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <QFileDialog>
#include <QProgressBar>

#include "app/framework/class_registrar.h"
#include "app/framework/dialog.h"
#include "app/framework/keyboard_return.h"
#include "app/windows/software_update/software_update_layout.h"
#include "app/windows/software_update/update_download.h"
#include "engine/crawl/html_escape.h"
#include "foundation/files/whole_file.h"
#include "foundation/settings/log_file.h"
#include "platform/posix/errno_status.h"

using namespace softwareupdate;

namespace {

CUpdateAvailableWindow::SaveFileChooser& SaveChooser()
{
    static CUpdateAvailableWindow::SaveFileChooser chooser;
    return chooser;
}

std::string AskForSaveFile(const std::string& defaultName)
{
    if (SaveChooser()) return SaveChooser()(defaultName);
    const CKeyboardReturn keyboardReturn;
    return QFileDialog::getSaveFileName(nullptr, "Save the release notes", QString::fromStdString(defaultName))
        .toStdString();
}

std::string EscapeHTML(const std::string& text)
{
    std::string escaped;
    AppendEscapedHTML(escaped, text);
    return escaped;
}

}  // namespace

// Every window ----------------------------------------------------------------------------------

void CSoftwareUpdateWindow::FinishCreateSelf()
{
    CWindow::FinishCreateSelf();
    for (PaneIDT id : {kOK, kYes, kNo, kSave, kCancelDownload})
        if (CPane* button = FindPaneByID(id)) button->AddListener(this);
}

void CSoftwareUpdateWindow::ListenToMessage(MessageT message, void*) { ButtonClicked(message); }

void CSoftwareUpdateWindow::ButtonClicked(PaneIDT button)
{
    if (button == kOK || button == kNo) AttemptClose();
}

void CSoftwareUpdateWindow::SetMessage(const std::string& text)
{
    if (CPane* message = FindPaneByID(kMessage)) message->SetDescriptor(text);
}

std::string CSoftwareUpdateWindow::GetMessage() const
{
    CPane* message = const_cast<CSoftwareUpdateWindow*>(this)->FindPaneByID(kMessage);
    return message != nullptr ? message->GetDescriptor() : std::string();
}

// The download's progress ---------------------------------------------------------------------------

void CDownloadUpdateWindow::ButtonClicked(PaneIDT button)
{
    if (button == kCancelDownload && mCancel) mCancel();
}

void CDownloadUpdateWindow::ShowDeterminate()
{
    if (CPane* bar = FindPaneByID(kProgressOrResult)) {
        bar->SetMinValue(0);
        bar->SetMaxValue(100);
        bar->SetValue(0);
    }
}

void CDownloadUpdateWindow::SetPercent(std::int32_t percent)
{
    if (CPane* bar = FindPaneByID(kProgressOrResult)) bar->SetValue(percent);
}

bool CDownloadUpdateWindow::IsDeterminate() const
{
    CPane* bar = const_cast<CDownloadUpdateWindow*>(this)->FindPaneByID(kProgressOrResult);
    return bar != nullptr && bar->GetMaxValue() > 0;
}

// Update available ---------------------------------------------------------------------------------

void CUpdateAvailableWindow::SetInfo(const CUpdateInfo& info)
{
    mInfo = info;
    SetMessage("Version " + VersionText(info.currentVersion) +
               " of Tidewell is available. Would you like to download it?");
    // What 'SAVE' writes: a page that leads to the release notes.
    const std::string notes = EscapeHTML(info.releaseNotesLocation);
    mNotes = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tidewell Release Notes</title></head>\n"
             "<body><p>The release notes of Tidewell version " +
             VersionText(info.currentVersion) + " are at <a href=\"" + notes + "\">" + notes +
             "</a>.</p></body></html>\n";
}

void CUpdateAvailableWindow::SetSaveFileChooser(SaveFileChooser chooser) { SaveChooser() = std::move(chooser); }

int CUpdateAvailableWindow::SaveReleaseNotes(const std::string& path) const
{
    const int status = WriteWholeFile(CFileRef(path), mNotes).Code();
    if (status != 0) return status;
    // Readable by everyone, writable by its owner only, whatever was there.
    return ::chmod(path.c_str(), 0644) == 0 ? 0 : ErrnoStatus();
}

void CUpdateAvailableWindow::ButtonClicked(PaneIDT button)
{
    if (button == kYes) {
        StartUpdateDownload(mInfo.downloadLocation, GetSuperCommander());
        AttemptClose();
    } else if (button == kSave) {
        const std::string path = AskForSaveFile("Tidewell Release Notes.html");
        if (const int status = path.empty() ? 0 : SaveReleaseNotes(path); status != 0)
            RunAlert({EAlertKind::kStop,
                      "The release notes could not be saved: " + path + " (" + std::strerror(-status) + ")", {}, {}});
    } else {
        CSoftwareUpdateWindow::ButtonClicked(button);
    }
}

// The download's result -------------------------------------------------------------------------------

void CUpdateResultWindow::SetResult(bool succeeded, bool cancelled, const std::string& archivePath)
{
    mSucceeded = succeeded;
    mArchivePath = succeeded ? archivePath : std::string();
    std::string text;
    if (succeeded)
        text = "The archive was successfully downloaded to \"" + archivePath +
               "\" and will now be opened so that you can replace this application by the update.";
    else if (cancelled)
        text = "The download has been cancelled.";
    else
        text = "The update was not downloaded.";
    if (CPane* pane = FindPaneByID(kProgressOrResult)) pane->SetDescriptor(text);
}

void CUpdateResultWindow::ButtonClicked(PaneIDT button)
{
    if (button != kOK) return;
    struct stat info;
    if (mSucceeded && ::stat(mArchivePath.c_str(), &info) == 0) OpenInDefaultApp(mArchivePath);
    AttemptClose();
}

void RegisterSoftwareUpdateWindowClasses()
{
    CClassRegistrar::RegisterWindowClass<CCheckingForSoftwareWindow>(kCheckingClass);
    CClassRegistrar::RegisterWindowClass<CDownloadUpdateWindow>(kDownloadClass);
    CClassRegistrar::RegisterWindowClass<CUpdateAvailableWindow>(kAvailableClass);
    CClassRegistrar::RegisterWindowClass<CUpdateCheckFailedWindow>(kFailedClass);
    CClassRegistrar::RegisterWindowClass<CUpdateResultWindow>(kResultClass);
    CClassRegistrar::RegisterWindowClass<CUpToDateWindow>(kUpToDateClass);
    RegisterSoftwareUpdateLayouts();
}
