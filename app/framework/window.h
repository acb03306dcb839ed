// Windows built by layout number. A window is a commander (its super-
// commander is usually the application) and owns a content pane whose grid
// holds the layout's panes. Closing never deletes the window inside its own
// code: it hides and schedules its deletion (CCleanupObject).
//
// Made with MakeWindow (raises 'nilP' when the layout cannot be built) or
// CWindow::Create (null instead). Building runs: the class's creator, the
// panes of the table, then FinishCreateSelf.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/framework/cleanup.h"
#include "app/framework/commander.h"
#include "app/framework/layout.h"
#include "app/framework/pane.h"

class QWidget;

class CWindow : public CCommander, public CCleanupObject {
public:
    CWindow(const SLayout& layout, CCommander* superCommander);
    ~CWindow() override;

    // Builds the window of a layout: null when the layout or its class is
    // missing or the table cannot be built.
    static CWindow* Create(int layoutNumber, CCommander* superCommander);
    // Builds the panes of `layout` into `host` (a panel inside a window);
    // false when it cannot be built (nothing is left behind then).
    static bool BuildPanes(const SLayout& layout, CPane& host);

    int GetLayoutNumber() const { return mLayoutNumber; }
    QWidget* GetWidget() const;
    CPane& GetContent() { return *mContent; }
    CPane* FindPaneByID(PaneIDT id) { return mContent->FindPaneByID(id); }
    template <class T>
    T* FindPaneAs(PaneIDT id) { return mContent->FindPaneAs<T>(id); }

    std::string GetTitle() const;
    void SetTitle(std::string_view title);
    void Show();
    void Hide();
    bool IsVisible() const;
    // Whether the window has been on screen at least once.
    bool HasBeenShown() const { return mShownOnce; }
    // Brings it to the front and makes it the target.
    void Select();

    // The close command and the window's close box: asks AllowClose; then
    // hides and schedules deletion. True when the window is closing.
    bool AttemptClose();
    virtual bool AllowClose() { return true; }

    // Handles kCmdClose; everything else goes up the chain.
    bool HandleCommand(CommandT command, void* ioParam) override;
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override;

    // The window became the active one (after the target moved to it).
    virtual void ActivateWindow() {}

    // Windows built as dialogs: the message of the button that Return
    // presses (Escape asks to close, which a dialog answers as Cancel).
    bool IsDialogKind() const { return mKind == EWindowKind::kDialog; }
    virtual MessageT DefaultMessage() const { return kMsgOK; }

    // Every window that exists, oldest first.
    static const std::vector<CWindow*>& AllWindows();
    // Every window of class T.
    template <class T>
    static std::vector<T*> WindowsOfClass()
    {
        std::vector<T*> found;
        for (CWindow* window : AllWindows())
            if (T* typed = dynamic_cast<T*>(window)) found.push_back(typed);
        return found;
    }

protected:
    // After the panes are built; derived classes look up their panes here
    // and call the base class first.
    virtual void FinishCreateSelf() {}

private:
    friend class CWindowEvents;
    void Build(const SLayout& layout);

    int mLayoutNumber;
    EWindowKind mKind;
    std::unique_ptr<CPane> mContent;
    bool mClosing = false;
    bool mShownOnce = false;
    class CWindowEvents* mEvents = nullptr;  // owned by the window's widget
};

// Builds the window of a layout or raises 'nilP' with `operation`.
CWindow* MakeWindow(int layoutNumber, CCommander* superCommander, const char* operation);
// The same, for a window class T.
template <class T>
T* MakeWindowAs(int layoutNumber, CCommander* superCommander, const char* operation)
{
    CWindow* window = MakeWindow(layoutNumber, superCommander, operation);
    T* typed = dynamic_cast<T*>(window);
    if (typed == nullptr) {
        delete window;
        ThrowNilPointer(operation);
    }
    return typed;
}

// Each new window gets a menu bar from this hook (the application's menus);
// null: no menu bar.
class QMenuBar;
using MenuBarFactory = std::function<QMenuBar*(CWindow& window)>;
void SetMenuBarFactory(MenuBarFactory factory);
