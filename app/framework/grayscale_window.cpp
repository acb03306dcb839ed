#include "app/framework/grayscale_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

#include "app/framework/class_registrar.h"
#include "app/framework/window_state.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"

namespace {

int gTagDelay = 2000;

// The tag delay reaches Qt's tool tips through the application style.
class CHelpTagStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) return gTagDelay;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Tool tips of the panes in our windows come from the window; others keep Qt's.
class CHelpTagFilter : public QObject {
public:
    explicit CHelpTagFilter(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) return false;
        for (CWindow* window : CWindow::AllWindows()) {
            auto* gray = dynamic_cast<GGrayscaleWindow*>(window);
            if (gray == nullptr || gray->GetWidget() != widget->window()) continue;
            std::string text;
            if (gray->GetHelpContent(widget, text)) {
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), QString::fromStdString(text), widget);
            } else {
                QToolTip::hideText();
            }
            return true;
        }
        return false;
    }
};

void InstallHelpTags()
{
    // Once per Qt application (tests make several, one after the other).
    static QPointer<QObject> installed;
    if (installed || qApp == nullptr) return;
    installed = new CHelpTagFilter(qApp);
    qApp->installEventFilter(installed);
    if (dynamic_cast<CHelpTagStyle*>(QApplication::style()) == nullptr)
        QApplication::setStyle(new CHelpTagStyle(QApplication::style()->name()));
}

QPalette GrayscalePalette()
{
    QPalette palette = QApplication::palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            auto colorGroup = static_cast<QPalette::ColorGroup>(group);
            auto colorRole = static_cast<QPalette::ColorRole>(role);
            QColor color = palette.color(colorGroup, colorRole);
            int gray = qGray(color.rgb());
            palette.setColor(colorGroup, colorRole, QColor(gray, gray, gray, color.alpha()));
        }
    }
    return palette;
}

SWindowRect ToRect(const QRect& rect) { return {rect.top(), rect.left(), rect.bottom() + 1, rect.right() + 1}; }

bool PlacesWindowsItself()
{
    // Wayland compositors place windows; programs may only size them.
    return QGuiApplication::platformName().startsWith("wayland");
}

}  // namespace

GGrayscaleWindow::GGrayscaleWindow(const SLayout& layout, CCommander* superCommander)
    : CWindow(layout, superCommander)
{
    InstallHelpTags();
}

GGrayscaleWindow::~GGrayscaleWindow() { SaveWindowState(); }

void GGrayscaleWindow::FinishCreateSelf()
{
    CWindow::FinishCreateSelf();
    RestoreWindowState();
}

bool GGrayscaleWindow::GetPaneHelpText(PaneIDT paneID, std::string& outText)
{
    CPane* pane = FindPaneByID(paneID);
    if (pane == nullptr || pane->GetHelpTag().empty()) return false;
    outText = pane->GetHelpTag();
    return true;
}

bool GGrayscaleWindow::GetHelpContent(const QWidget* widget, std::string& outText)
{
    if (!AreHelpTagsOn()) return false;
    CPane* pane = GetContent().FindPaneForWidget(widget);
    // Anonymous panes (and the content) have nothing to say; their named
    // super-pane may.
    while (pane != nullptr && pane->GetPaneID() == 0) pane = pane->GetSuperPane();
    if (pane == nullptr || !pane->IsVisibleAndEnabled()) return false;
    return GetPaneHelpText(pane->GetPaneID(), outText);
}

void GGrayscaleWindow::SaveWindowState()
{
    QWidget* root = GetWidget();
    if (root == nullptr || !HasBeenShown() || mName.empty()) return;
    SWindowState state;
    state.h = root->pos().x();
    state.v = root->pos().y();
    state.bounds = ToRect(root->isMaximized() ? root->normalGeometry() : root->geometry());
    state.zoomed = root->isMaximized();
    if (state.bounds.IsEmpty()) return;
    (void)SetPreferenceString(FormatWindowState(state).c_str(), mName.c_str());
}

void GGrayscaleWindow::RestoreWindowState()
{
    QWidget* root = GetWidget();
    std::optional<std::string> text = GetPreferenceString(mName.c_str());
    if (root == nullptr || !text) return;
    std::optional<SWindowState> saved = ParseWindowState(*text);
    if (!saved) return;
    std::vector<SWindowRect> screens;
    for (QScreen* screen : QGuiApplication::screens()) screens.push_back(ToRect(screen->availableGeometry()));
    SWindowState state = KeepOnScreen(*saved, screens);
    const SWindowRect& bounds = state.bounds;
    if (PlacesWindowsItself()) {
        root->resize(bounds.Width(), bounds.Height());
    } else {
        root->move(state.h, state.v);
        root->setGeometry(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    }
    if (state.zoomed) root->setWindowState(root->windowState() | Qt::WindowMaximized);
}

void GGrayscaleWindow::InstallSamplePanel(int layoutNumber)
{
    CPane* host = FindPaneByID(kPanelHostPane);
    if (FindPaneByID(kSamplePane) == nullptr || host == nullptr) return;
    const SLayout* layout = CLayoutTable::Find(layoutNumber);
    SPaneSpec viewSpec;
    viewSpec.classID = kClassView;
    std::unique_ptr<CPane> view = layout ? CClassRegistrar::CreatePane(viewSpec, host->GetWidget()) : nullptr;
    if (!view || !CWindow::BuildPanes(*layout, *view)) ThrowNilPointer("InstallSamplePanel");
    CPane* previous = mCurrentPanel;
    mCurrentPanel = host->AddSubPane(std::move(view), SPaneCell{}, true);
    if (previous != nullptr && previous->GetSuperPane() == host) {
        previous->Hide();
        host->DeleteSubPane(previous);
    }
    if (QWidget* widget = host->GetWidget()) widget->update();
}

void GGrayscaleWindow::SetupCurrentPanel(PaneIDT paneID)
{
    if (FindPaneByID(kSamplePane) == nullptr) return;
    CPane* pane = FindPaneByID(paneID);
    if (pane == nullptr) ThrowNilPointer("SetupCurrentPanel");
    mCurrentPanel = pane;
}

void GGrayscaleWindow::ActivateWindow()
{
    QWidget* root = GetWidget();
    if (root == nullptr) return;
    if (mControlStyle == kGrayscaleStyle) root->setPalette(GrayscalePalette());
    else if (mControlStyle == kAppearanceStyle) root->setPalette(QApplication::palette());
    CWindow::ActivateWindow();
}

bool GGrayscaleWindow::GetCommandStatus(CommandT command, SCommandStatus& status)
{
    status.enabled = false;
    status.usesMark = false;
    status.marked = false;
    return CWindow::GetCommandStatus(command, status);
}

void GGrayscaleWindow::ListenToMessage(MessageT, void*) {}

void SetHelpTagDelay(int milliseconds)
{
    gTagDelay = std::max(0, milliseconds);
    InstallHelpTags();
}

bool AreHelpTagsOn() { return gAppSettings == nullptr || gAppSettings->mHelpTags; }
