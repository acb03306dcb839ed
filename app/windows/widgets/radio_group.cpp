#include "app/windows/widgets/radio_group.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

#include "app/framework/class_registrar.h"

namespace {

QWidget* MakeGroup(const SPaneSpec& spec, QWidget* parent)
{
    auto* box = new QGroupBox(QString::fromUtf8(spec.caption != nullptr ? spec.caption : ""), parent);
    new QGridLayout(box);
    return box;
}

}  // namespace

CRadioGroupPane::CRadioGroupPane(const SPaneSpec& spec, QWidget* parent) : CPane(spec, MakeGroup(spec, parent)) {}

std::int32_t CRadioGroupPane::GetValue() const
{
    for (const auto& sub : SubPanes())
        if (auto* radio = qobject_cast<QRadioButton*>(sub->GetWidget()); radio != nullptr && radio->isChecked())
            return static_cast<std::int32_t>(sub->GetPaneID());
    return 0;
}

void CRadioGroupPane::SetValue(std::int32_t value)
{
    const std::int32_t old = GetValue();
    for (const auto& sub : SubPanes())
        if (auto* radio = qobject_cast<QRadioButton*>(sub->GetWidget()))
            radio->setChecked(static_cast<std::int32_t>(sub->GetPaneID()) == value);
    if (GetValue() != old) BroadcastValueMessage();
}

void RegisterRadioGroups()
{
    CClassRegistrar::RegisterPane(kClassRadioGroup, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CRadioGroupPane>(spec, parent);
    });
    CClassRegistrar::RegisterPane(kClassRadioButton, [](const SPaneSpec& spec, QWidget* parent) {
        auto* radio = new QRadioButton(QString::fromUtf8(spec.caption != nullptr ? spec.caption : ""), parent);
        radio->setChecked(spec.value != 0);
        return std::make_unique<CPane>(spec, radio);
    });
}
