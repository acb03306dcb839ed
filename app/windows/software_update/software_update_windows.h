// The six small windows of the version check and the update download. Each
// closes with its buttons (hidden at once, deleted later).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/framework/window.h"
#include "app/windows/software_update/version_list.h"

class CSoftwareUpdateWindow : public CWindow, public CListener {
public:
    using CWindow::CWindow;
    void ListenToMessage(MessageT message, void* ioParam) override;
    void SetMessage(const std::string& text);
    std::string GetMessage() const;

protected:
    void FinishCreateSelf() override;
    // A button of the window; the default closes it for 'ok  ' and 'no  '.
    virtual void ButtonClicked(PaneIDT button);
};

// Shown while a check runs.
class CCheckingForSoftwareWindow : public CSoftwareUpdateWindow {
public:
    using CSoftwareUpdateWindow::CSoftwareUpdateWindow;
};

class CUpToDateWindow : public CSoftwareUpdateWindow {
public:
    using CSoftwareUpdateWindow::CSoftwareUpdateWindow;
};

class CUpdateCheckFailedWindow : public CSoftwareUpdateWindow {
public:
    using CSoftwareUpdateWindow::CSoftwareUpdateWindow;
};

// The download's progress; 'not!' cancels it.
class CDownloadUpdateWindow : public CSoftwareUpdateWindow {
public:
    using CSoftwareUpdateWindow::CSoftwareUpdateWindow;
    void SetCancelHook(std::function<void()> hook) { mCancel = std::move(hook); }
    // Percent from 0 to 100; before the first call the bar only shows that
    // it is busy (the size is unknown).
    void SetPercent(std::int32_t percent);
    void ShowDeterminate();
    bool IsDeterminate() const;

protected:
    void ButtonClicked(PaneIDT button) override;

private:
    std::function<void()> mCancel;
};

// 'yes ' downloads the archive, 'no  ' closes, 'SAVE' saves the release notes.
class CUpdateAvailableWindow : public CSoftwareUpdateWindow {
public:
    using CSoftwareUpdateWindow::CSoftwareUpdateWindow;
    void SetInfo(const CUpdateInfo& info);
    const CUpdateInfo& GetInfo() const { return mInfo; }
    // Writes the release notes page to `path` (replacing a file there, as
    // the save dialog confirmed); mode 0644. 0 or a negative errno value.
    int SaveReleaseNotes(const std::string& path) const;

    // How 'SAVE' asks for the file; "" means cancelled. Tests replace it.
    using SaveFileChooser = std::function<std::string(const std::string& defaultName)>;
    static void SetSaveFileChooser(SaveFileChooser chooser);

protected:
    void ButtonClicked(PaneIDT button) override;

private:
    CUpdateInfo mInfo;
    std::string mNotes;
};

// What became of the download; 'ok  ' opens the archive when there is one.
class CUpdateResultWindow : public CSoftwareUpdateWindow {
public:
    using CSoftwareUpdateWindow::CSoftwareUpdateWindow;
    void SetResult(bool succeeded, bool cancelled, const std::string& archivePath);
    const std::string& ArchivePath() const { return mArchivePath; }

protected:
    void ButtonClicked(PaneIDT button) override;

private:
    bool mSucceeded = false;
    std::string mArchivePath;
};

void RegisterSoftwareUpdateWindowClasses();
