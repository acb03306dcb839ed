#include "app/framework/window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "app/framework/class_registrar.h"
#include "app/framework/dialog_keys.h"
#include "app/framework/last_window.h"
#include "foundation/errors/framework_exception.h"

namespace {

std::vector<CWindow*>& Windows()
{
    static std::vector<CWindow*> windows;
    return windows;
}

MenuBarFactory& MenuBars()
{
    static MenuBarFactory factory;
    return factory;
}

SPaneSpec ContentSpec()
{
    SPaneSpec spec;
    spec.classID = kClassView;
    return spec;
}

}  // namespace

// The window's side of Qt events: the close box, activation and, in
// dialogs, the keys that answer them (keys reach the window when the
// focused control leaves them alone).
class CWindowEvents : public QObject {
public:
    CWindowEvents(CWindow& window, QWidget* widget) : QObject(widget), mWindow(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Close:
            // The window decides, and deletes itself only later.
            event->ignore();
            mWindow.AttemptClose();
            return true;
        case QEvent::Show:
            mWindow.mShownOnce = true;
            if (mWindow.IsDialogKind())
                PrepareDialogFocus(mWindow.GetContent(), mWindow.DefaultMessage(), mWindow.GetWidget());
            break;
        case QEvent::KeyPress:
            if (mWindow.IsDialogKind() &&
                HandleDialogKey(mWindow.GetContent(), mWindow.DefaultMessage(), [this] { mWindow.AttemptClose(); },
                                *static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::WindowActivate:
            CCommander::SetTarget(&mWindow);
            mWindow.ActivateWindow();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CWindow& mWindow;
};

CWindow::CWindow(const SLayout& layout, CCommander* superCommander)
    : CCommander(superCommander), mLayoutNumber(layout.number), mKind(layout.kind)
{
    auto* root = new QWidget(nullptr, layout.kind == EWindowKind::kDialog ? Qt::Dialog : Qt::Window);
    auto* grid = new QGridLayout(root);
    mContent = std::make_unique<CPane>(ContentSpec(), root);
    root->setWindowTitle(QString::fromUtf8(layout.title != nullptr ? layout.title : ""));
    if (layout.widthChars > 0 || layout.heightLines > 0) {
        QFontMetrics metrics = root->fontMetrics();
        root->resize(std::max(layout.widthChars * metrics.averageCharWidth(), root->sizeHint().width()),
                     std::max(layout.heightLines * metrics.lineSpacing(), root->sizeHint().height()));
    }
    if (MenuBars() && layout.kind == EWindowKind::kDocument) {
        if (QMenuBar* bar = MenuBars()(*this)) grid->setMenuBar(bar);
    }
    mEvents = new CWindowEvents(*this, root);
    root->installEventFilter(mEvents);
    Windows().push_back(this);
}

CWindow::~CWindow()
{
    std::erase(Windows(), this);
    // Events sent while the widgets go must not reach a half-destroyed window.
    if (QWidget* root = GetWidget(); root != nullptr && mEvents != nullptr) {
        root->removeEventFilter(mEvents);
        delete mEvents;
    }
    mContent.reset();
}

QWidget* CWindow::GetWidget() const { return mContent ? mContent->GetWidget() : nullptr; }

bool CWindow::BuildPanes(const SLayout& layout, CPane& host)
{
    if (!CLayoutTable::Check(layout).empty()) return false;
    std::vector<CPane*> added;
    for (const SPaneSpec& spec : layout.panes) {
        CPane* super = spec.superID != 0 ? host.FindPaneByID(spec.superID) : &host;
        std::unique_ptr<CPane> pane =
            super != nullptr ? CClassRegistrar::CreatePane(spec, super->GetWidget()) : nullptr;
        if (!pane) {
            // Undo: the panes added to the host take everything below them.
            std::vector<CPane*> topLevel;
            for (CPane* first : added)
                if (first->GetSuperPane() == &host) topLevel.push_back(first);
            for (CPane* first : topLevel) host.DeleteSubPane(first);
            return false;
        }
        CPane* placed = super->AddSubPane(std::move(pane), spec.cell, spec.stretch);
        added.push_back(placed);
    }
    return true;
}

void CWindow::Build(const SLayout& layout)
{
    if (!BuildPanes(layout, *mContent)) ThrowNilPointer("BuildPanes");
}

CWindow* CWindow::Create(int layoutNumber, CCommander* superCommander)
{
    const SLayout* layout = CLayoutTable::Find(layoutNumber);
    if (layout == nullptr) return nullptr;
    CWindow* window = CClassRegistrar::CreateWindow(*layout, superCommander);
    if (window == nullptr) return nullptr;
    if (!BuildPanes(*layout, *window->mContent)) {
        delete window;
        return nullptr;
    }
    try {
        window->FinishCreateSelf();
    } catch (...) {
        delete window;
        throw;
    }
    return window;
}

CWindow* MakeWindow(int layoutNumber, CCommander* superCommander, const char* operation)
{
    CWindow* window = CWindow::Create(layoutNumber, superCommander);
    if (window == nullptr) ThrowNilPointer(operation);
    return window;
}

std::string CWindow::GetTitle() const { return GetWidget() ? GetWidget()->windowTitle().toStdString() : ""; }

void CWindow::SetTitle(std::string_view title)
{
    if (QWidget* root = GetWidget())
        root->setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void CWindow::Show()
{
    if (QWidget* root = GetWidget()) root->show();
}

void CWindow::Hide()
{
    if (QWidget* root = GetWidget()) root->hide();
    if (GetTarget() == this) SetTarget(GetSuperCommander());
}

bool CWindow::IsVisible() const { return GetWidget() && GetWidget()->isVisible(); }

void CWindow::Select()
{
    if (QWidget* root = GetWidget()) {
        root->show();
        root->raise();
        root->activateWindow();
    }
    SetTarget(this);
}

bool CWindow::AttemptClose()
{
    if (mClosing) return true;
    if (!AllowClose()) return false;
    mClosing = true;
    Hide();
    ScheduleCleanup();
    bool anyVisible = false;
    for (CWindow* window : Windows()) anyVisible = anyVisible || window->IsVisible();
    if (!anyVisible) PostLastWindowClosed();
    return true;
}

bool CWindow::HandleCommand(CommandT command, void* ioParam)
{
    if (command == kCmdClose) {
        AttemptClose();
        return true;
    }
    return CCommander::HandleCommand(command, ioParam);
}

bool CWindow::GetCommandStatus(CommandT command, SCommandStatus& status)
{
    if (command == kCmdClose) {
        status.enabled = true;
        return true;
    }
    return CCommander::GetCommandStatus(command, status);
}

const std::vector<CWindow*>& CWindow::AllWindows() { return Windows(); }

void SetMenuBarFactory(MenuBarFactory factory) { MenuBars() = std::move(factory); }
