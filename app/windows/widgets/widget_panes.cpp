#include "app/windows/widgets/widget_panes.h"

#include "app/framework/class_registrar.h"
#include "app/windows/widgets/dd_text_field.h"
#include "app/windows/widgets/dirty_text.h"
#include "app/windows/widgets/quicktime_view.h"
#include "app/windows/widgets/url_push_button.h"

namespace {

template <class TPane>
void RegisterPaneClass(ClassIDT classID)
{
    CClassRegistrar::RegisterPane(classID, [](const SPaneSpec& spec, QWidget* parent) -> std::unique_ptr<CPane> {
        return std::make_unique<TPane>(spec, parent);
    });
}

QString CaptionLine(const char* caption, int line)
{
    return QString::fromUtf8(caption != nullptr ? caption : "").section('\n', line, line);
}

}  // namespace

CDDTextFieldPane::CDDTextFieldPane(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, new CDDTextField(parent))
{
    Field()->setText(QString::fromUtf8(spec.caption));
}

CDDTextField* CDDTextFieldPane::Field() const { return static_cast<CDDTextField*>(GetWidget()); }

CDirtyTextPane::CDirtyTextPane(const SPaneSpec& spec, QWidget* parent) : CPane(spec, new CDirtyText(parent)) {}

CDirtyText* CDirtyTextPane::Text() const { return static_cast<CDirtyText*>(GetWidget()); }

std::string CDirtyTextPane::GetDescriptor() const
{
    return Text() != nullptr ? Text()->toPlainText().toStdString() : std::string();
}

void CDirtyTextPane::SetDescriptor(std::string_view text)
{
    if (Text() == nullptr) return;
    Text()->clear();
    Text()->Insert(text);
}

CQuickTimeViewPane::CQuickTimeViewPane(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, new CQuickTimeView(parent))
{
}

CQuickTimeView* CQuickTimeViewPane::View() const { return static_cast<CQuickTimeView*>(GetWidget()); }

CURLPushButtonPane::CURLPushButtonPane(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, new CURLPushButton(CaptionLine(spec.caption, 0), CaptionLine(spec.caption, 1),
                                     spec.valueMessage != 0 ? spec.valueMessage : spec.id, parent))
{
}

CURLPushButton* CURLPushButtonPane::Button() const { return static_cast<CURLPushButton*>(GetWidget()); }

void RegisterWidgetPanes()
{
    RegisterPaneClass<CDDTextFieldPane>(kClassDDTextField);
    RegisterPaneClass<CDirtyTextPane>(kClassDirtyText);
    RegisterPaneClass<CQuickTimeViewPane>(kClassQuickTimeView);
    RegisterPaneClass<CURLPushButtonPane>(kClassURLPushButton);
}
