// CUpdateIteratorWindow: choose a folder of downloaded files and grab every
// file in it again from the URL stored with the file. The walk is the update
// thread (CUpdateIterator), which reports into the log pane.
//
// The thread holds a pointer to the window, so the window never goes while
// the thread lives: closing it asks the thread to stop and waits for it.
#pragma once

#include <functional>
#include <string>

#include "app/framework/grayscale_window.h"
#include "app/progress/pane_changes.h"
#include "engine/update/update_window_interface.h"
#include "foundation/files/file_ref.h"

class CUpdateIterator;

class CUpdateIteratorWindow : public GGrayscaleWindow, public CUpdateWindowInterface {
public:
    CUpdateIteratorWindow(const SLayout& layout, CCommander* superCommander);
    ~CUpdateIteratorWindow() override;

    // The folder the next update walks (what 'CFol' asks the user for).
    void SetFolder(const std::string& path);
    bool IsUpdating() const { return mUpdater != nullptr; }
    bool IsRunning() const { return mRunning; }

    void ListenToMessage(MessageT message, void* ioParam) override;

    // How 'CFol' asks for a folder; "" means cancelled. Tests replace it.
    using FolderChooser = std::function<std::string()>;
    static void SetFolderChooser(FolderChooser chooser);

    // CUpdateWindowInterface.
    void ShowBusy(bool busy) override;
    void SetRunning(bool running) override { mRunning = running; }
    void LogText(const std::string& text) override;
    void LogLine(const std::string& text) override;
    // The thread is going away: the buttons offer a new update.
    void ClearThreadPointer() override;

protected:
    void FinishCreateSelf() override;

private:
    void StartUpdate();
    // Asks the thread to stop and waits for it, at most `bound`.
    void StopUpdate(std::chrono::milliseconds bound);
    void EnablePane(PaneIDT pane, bool enabled);
    void ShowHeldLog();

    CUpdateIterator* mUpdater = nullptr;
    bool mRunning = false;
    CFileRef mFolderRef;
    // The log lines and buttons the update changes, at a reader's pace;
    // shown at once after a user's action and at the end.
    std::string mHeldLog;
    CPaneChanges mPanes{[this](PaneIDT id) { return FindPaneByID(id); }};
};
