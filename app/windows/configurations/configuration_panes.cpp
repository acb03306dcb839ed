#include "app/windows/configurations/configuration_panes.h"

#include <climits>

#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabBar>

#include "app/framework/class_registrar.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "foundation/settings/preference_accessors.h"

namespace {

template <class Pane>
void RegisterPaneClass(ClassIDT classID)
{
    CClassRegistrar::RegisterPane(classID, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<Pane>(spec, parent);
    });
}

void RegisterTable(ClassIDT classID, std::function<CDragAndDropTable*(QWidget*)> make)
{
    CClassRegistrar::RegisterPane(classID, [make](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CTablePane>(spec, make(parent));
    });
}

QSpinBox* Spin(QWidget* widget) { return qobject_cast<QSpinBox*>(widget); }
QTabBar* Tabs(QWidget* widget) { return qobject_cast<QTabBar*>(widget); }

}  // namespace

CTablePane::CTablePane(const SPaneSpec& spec, CDragAndDropTable* table) : CPane(spec, table) {}

CDragAndDropTable* CTablePane::Table() const { return dynamic_cast<CDragAndDropTable*>(GetWidget()); }

std::int32_t CTablePane::GetValue() const { return Table() ? Table()->SelectedRow() + 1 : 0; }

void CTablePane::SetValue(std::int32_t value)
{
    if (Table()) Table()->SelectRow(value - 1);
}

CNumberFieldPane::CNumberFieldPane(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, [&spec, parent] {
          auto* box = new QSpinBox(parent);
          box->setRange(spec.minValue, spec.maxValue > spec.minValue ? spec.maxValue : INT_MAX);
          box->setValue(spec.value);
          box->setAccelerated(true);
          return box;
      }())
{
    QObject::connect(Spin(GetWidget()), &QSpinBox::valueChanged, [this] { BroadcastValueMessage(); });
}

std::string CNumberFieldPane::GetDescriptor() const { return std::to_string(GetValue()); }

void CNumberFieldPane::SetDescriptor(std::string_view text) { SetValue(ReadDecimalPrefix(text)); }

std::int32_t CNumberFieldPane::GetValue() const { return Spin(GetWidget()) ? Spin(GetWidget())->value() : 0; }

void CNumberFieldPane::SetValue(std::int32_t value)
{
    if (QSpinBox* box = Spin(GetWidget())) box->setValue(value);  // clamped by the box
}

std::int32_t CNumberFieldPane::GetMinValue() const { return Spin(GetWidget()) ? Spin(GetWidget())->minimum() : 0; }

std::int32_t CNumberFieldPane::GetMaxValue() const { return Spin(GetWidget()) ? Spin(GetWidget())->maximum() : 0; }

CTabBarPane::CTabBarPane(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, [&spec, parent] {
          auto* bar = new QTabBar(parent);
          const QString titles = QString::fromUtf8(spec.caption);
          for (const QString& title : titles.split('\n', Qt::SkipEmptyParts)) bar->addTab(title);
          bar->setExpanding(false);
          bar->setUsesScrollButtons(false);  // every tab shows: the window is as wide as they need
          return bar;
      }())
{
    QObject::connect(Tabs(GetWidget()), &QTabBar::currentChanged, [this] {
        if (!mQuiet) BroadcastValueMessage();
    });
}

std::int32_t CTabBarPane::GetValue() const { return Tabs(GetWidget()) ? Tabs(GetWidget())->currentIndex() + 1 : 0; }

void CTabBarPane::SetValue(std::int32_t value)
{
    QTabBar* bar = Tabs(GetWidget());
    if (bar == nullptr || value < 1 || value > bar->count()) return;
    const std::int32_t old = GetValue();
    mQuiet = true;
    bar->setCurrentIndex(value - 1);
    mQuiet = false;
    if (old != value) BroadcastValueMessage();
}

std::int32_t CTabBarPane::GetMaxValue() const { return Tabs(GetWidget()) ? Tabs(GetWidget())->count() : 0; }

CEditableTextPane::CEditableTextPane(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, new QPlainTextEdit(QString::fromUtf8(spec.caption), parent))
{
}

void RegisterConfigurationPanes()
{
    RegisterTable(kClassDragAndDropTable, [](QWidget* parent) { return new CDragAndDropTable(1, parent); });
    RegisterTable(kClassRealmsTable, [](QWidget* parent) {
        return new CEditableTable({"Realm", "User Name", "Password"}, 2, parent);
    });
    RegisterTable(kClassInputItemsTable, [](QWidget* parent) { return new CEditableTable({"Name", "Value"}, -1, parent); });
    RegisterTable(kClassDelimitersTable, [](QWidget* parent) { return new CEditableTable({"Start", "End"}, -1, parent); });
    RegisterPaneClass<CNumberFieldPane>(kClassNumberField);
    RegisterPaneClass<CTabBarPane>(kClassTabBar);
    RegisterPaneClass<CEditableTextPane>(kClassEditableText);
}
