#include "app/framework/pane.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTabWidget>

#include <algorithm>

namespace {

QString ToQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromQt(const QString& text) { return text.toStdString(); }

// Edit fields tell their listeners about every key, before the field acts on
// it (the quicker grabber starts on Return).
class CKeyForwarder : public QObject {
public:
    CKeyForwarder(CPane& pane, QObject* parent) : QObject(parent), mPane(pane) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            std::int32_t character = 0;
            if (key->key() == Qt::Key_Return) character = 13;
            else if (key->key() == Qt::Key_Enter) character = 3;
            else if (!key->text().isEmpty()) character = key->text().at(0).unicode();
            if (character != 0) mPane.BroadcastMessage(kMsgKeyPress, &character);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CPane& mPane;
};

}  // namespace

CPane::CPane(const SPaneSpec& spec, QWidget* widget)
    : mID(spec.id),
      mValueMessage(spec.valueMessage != 0 ? spec.valueMessage : spec.id),
      mHelpTag(spec.helpTag != nullptr ? spec.helpTag : ""),
      mWidget(widget)
{
    if (widget == nullptr) return;
    if (auto* popup = qobject_cast<QComboBox*>(widget); popup != nullptr && spec.widthChars > 0) {
        // A popup's width is its text area's, in characters, whatever its
        // items (a long URL among them would widen the window) and however
        // narrow the window: a layout squeezing it cut short texts too.
        popup->setMinimumContentsLength(spec.widthChars);
        popup->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        popup->setSizePolicy(QSizePolicy::Minimum, popup->sizePolicy().verticalPolicy());
    } else if (spec.widthChars > 0) {
        widget->setMinimumWidth(widget->fontMetrics().averageCharWidth() * spec.widthChars);
    }
    if (spec.heightLines > 0) widget->setMinimumHeight(widget->fontMetrics().lineSpacing() * spec.heightLines);
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        QObject::connect(check, &QCheckBox::clicked, [this] { BroadcastValueMessage(); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, [this] { BroadcastValueMessage(); });
    } else if (auto* popup = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(popup, &QComboBox::activated, [this] { BroadcastValueMessage(); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->installEventFilter(new CKeyForwarder(*this, edit));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        QObject::connect(tabs, &QTabWidget::currentChanged, [this] {
            if (!mSettingValue) BroadcastValueMessage();
        });
    }
    if (!spec.visible) widget->setVisible(false);
    if (!spec.enabled) widget->setEnabled(false);
}

CPane::~CPane()
{
    mSubPanes.clear();
    delete mWidget.data();
}

CPane* CPane::FindPaneByID(PaneIDT id)
{
    if (id == 0) return nullptr;
    if (mID == id) return this;
    for (const auto& sub : mSubPanes)
        if (CPane* found = sub->FindPaneByID(id)) return found;
    return nullptr;
}

void CPane::AddListenerBelow(CListener* listener)
{
    for (const auto& sub : mSubPanes) {
        sub->AddListener(listener);
        sub->AddListenerBelow(listener);
    }
}

CPane* CPane::FindPaneForWidget(const QWidget* widget)
{
    for (const QWidget* at = widget; at != nullptr; at = at->parentWidget()) {
        // The deepest pane whose widget is `at`.
        std::vector<CPane*> stack{this};
        while (!stack.empty()) {
            CPane* pane = stack.back();
            stack.pop_back();
            if (pane->mWidget == at) {
                // A sub-pane over the same widget would be deeper; none share.
                return pane;
            }
            for (const auto& sub : pane->mSubPanes) stack.push_back(sub.get());
        }
    }
    return nullptr;
}

QWidget* CPane::ContentWidget() const { return mWidget.data(); }

CPane* CPane::AddSubPane(std::unique_ptr<CPane> pane, const SPaneCell& cell, bool stretch)
{
    CPane* added = pane.get();
    added->mSuper = this;
    QWidget* host = ContentWidget();
    QWidget* child = added->GetWidget();
    if (host != nullptr && child != nullptr) {
        if (auto* tabs = qobject_cast<QTabWidget*>(host)) {
            tabs->addTab(child, child->windowTitle());
        } else {
            auto* grid = qobject_cast<QGridLayout*>(host->layout());
            if (grid == nullptr) grid = new QGridLayout(host);
            grid->addWidget(child, cell.row, cell.column, std::max(1, cell.rowSpan), std::max(1, cell.columnSpan));
            if (stretch) {
                grid->setRowStretch(cell.row, 1);
                grid->setColumnStretch(cell.column, 1);
            }
        }
    }
    mSubPanes.push_back(std::move(pane));
    return added;
}

void CPane::DeleteSubPane(CPane* pane)
{
    auto found = std::find_if(mSubPanes.begin(), mSubPanes.end(), [&](const auto& sub) { return sub.get() == pane; });
    if (found != mSubPanes.end()) mSubPanes.erase(found);
}

void CPane::SetVisible(bool visible)
{
    if (mWidget) mWidget->setVisible(visible);
}

bool CPane::IsVisible() const { return mWidget && !mWidget->isHidden(); }

void CPane::SetEnabled(bool enabled)
{
    if (mWidget) mWidget->setEnabled(enabled);
}

bool CPane::IsEnabled() const { return mWidget && mWidget->isEnabled(); }

bool CPane::IsVisibleAndEnabled() const
{
    if (!mWidget || !mWidget->isEnabled()) return false;
    return mWidget->isVisibleTo(mWidget->window()) || mWidget->isWindow();
}

void CPane::MakeKeyboardTarget()
{
    if (mWidget) mWidget->setFocus(Qt::OtherFocusReason);
}

std::string CPane::GetDescriptor() const
{
    QWidget* widget = mWidget.data();
    if (auto* label = qobject_cast<QLabel*>(widget)) return FromQt(label->text());
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQt(edit->text());
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) return FromQt(text->toPlainText());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromQt(button->text());
    if (auto* popup = qobject_cast<QComboBox*>(widget)) return FromQt(popup->currentText());
    if (widget != nullptr) return FromQt(widget->windowTitle());
    return "";
}

void CPane::SetDescriptor(std::string_view text)
{
    QWidget* widget = mWidget.data();
    if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(ToQt(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(ToQt(text));
    else if (auto* view = qobject_cast<QPlainTextEdit*>(widget)) view->setPlainText(ToQt(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(ToQt(text));
    else if (widget != nullptr) widget->setWindowTitle(ToQt(text));
}

std::int32_t CPane::GetValue() const
{
    QWidget* widget = mWidget.data();
    if (auto* check = qobject_cast<QCheckBox*>(widget)) return check->isChecked() ? 1 : 0;
    if (auto* popup = qobject_cast<QComboBox*>(widget)) return popup->currentIndex() + 1;
    if (auto* bar = qobject_cast<QProgressBar*>(widget)) return bar->value();
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) return tabs->currentIndex() + 1;
    return mPlainValue;
}

void CPane::SetValue(std::int32_t value)
{
    std::int32_t old = GetValue();
    QWidget* widget = mWidget.data();
    mSettingValue = true;
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        check->setChecked(value != 0);
    } else if (auto* popup = qobject_cast<QComboBox*>(widget)) {
        if (value >= 1 && value <= popup->count()) popup->setCurrentIndex(value - 1);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        // A bar that moves repaints at once, and with it everything else
        // waiting to be drawn in its window; held back, it is drawn with the
        // window's next paint, once for all the panes changed together.
        const bool drawing = bar->updatesEnabled();
        if (drawing) bar->setUpdatesEnabled(false);
        bar->setValue(std::clamp(value, bar->minimum(), std::max(bar->minimum(), bar->maximum())));
        if (drawing) bar->setUpdatesEnabled(true);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        if (value >= 1 && value <= tabs->count()) tabs->setCurrentIndex(value - 1);
    } else {
        mPlainValue = value;
    }
    mSettingValue = false;
    if (GetValue() != old) BroadcastValueMessage();
}

std::int32_t CPane::GetMinValue() const
{
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data())) return bar->minimum();
    if (qobject_cast<QComboBox*>(mWidget.data()) != nullptr) return 1;
    return 0;
}

std::int32_t CPane::GetMaxValue() const
{
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data())) return bar->maximum();
    if (auto* popup = qobject_cast<QComboBox*>(mWidget.data())) return popup->count();
    if (qobject_cast<QCheckBox*>(mWidget.data()) != nullptr) return 1;
    return 0;
}

void CPane::SetMinValue(std::int32_t value)
{
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data())) bar->setMinimum(value);
}

void CPane::SetMaxValue(std::int32_t value)
{
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data())) bar->setMaximum(value);
}

void CPane::BroadcastValueMessage()
{
    if (mValueMessage == kMsgNothing) return;
    std::int32_t value = GetValue();
    BroadcastMessage(mValueMessage, &value);
}

void CPane::RemoveAllMenuItems()
{
    if (auto* popup = qobject_cast<QComboBox*>(mWidget.data())) popup->clear();
}

void CPane::AppendMenuItem(std::string_view text, bool enabled)
{
    auto* popup = qobject_cast<QComboBox*>(mWidget.data());
    if (popup == nullptr) return;
    if (text == "-") {
        popup->insertSeparator(popup->count());
        return;
    }
    popup->addItem(ToQt(text));
    if (!enabled) {
        if (auto* model = qobject_cast<QStandardItemModel*>(popup->model()))
            model->item(popup->count() - 1)->setEnabled(false);
    }
}

int CPane::CountMenuItems() const
{
    auto* popup = qobject_cast<QComboBox*>(mWidget.data());
    return popup != nullptr ? popup->count() : 0;
}

std::string CPane::GetMenuItemText(int item) const
{
    auto* popup = qobject_cast<QComboBox*>(mWidget.data());
    if (popup == nullptr || item < 1 || item > popup->count()) return "";
    // Separators carry no text of their own.
    if (popup->itemData(item - 1, Qt::AccessibleDescriptionRole).toString() == "separator") return "-";
    return FromQt(popup->itemText(item - 1));
}

bool CPane::IsMenuItemEnabled(int item) const
{
    auto* popup = qobject_cast<QComboBox*>(mWidget.data());
    if (popup == nullptr || item < 1 || item > popup->count()) return false;
    if (auto* model = qobject_cast<QStandardItemModel*>(popup->model())) return model->item(item - 1)->isEnabled();
    return true;
}

void CPane::StartIdling()
{
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data())) {
        bar->setProperty("tidewellRange", QPoint(bar->minimum(), bar->maximum()));
        bar->setRange(0, 0);
    }
}

void CPane::StopIdling()
{
    auto* bar = qobject_cast<QProgressBar*>(mWidget.data());
    if (bar == nullptr || bar->maximum() != 0 || bar->minimum() != 0) return;
    QPoint range = bar->property("tidewellRange").toPoint();
    bar->setRange(range.x(), std::max(range.x(), range.y()));
}
