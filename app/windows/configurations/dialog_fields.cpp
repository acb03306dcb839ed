#include "app/windows/configurations/dialog_fields.h"

#include <QLineEdit>

#include "app/framework/dialog.h"

namespace {

std::function<void(CDialog&)> gTyping;

}  // namespace

void SetDialogTyping(std::function<void(CDialog&)> typing) { gTyping = std::move(typing); }

bool RunFieldsDialog(int layoutNumber, const char* operation, const std::vector<PaneIDT>& fields,
                     std::vector<std::string>& values)
{
    values.resize(fields.size());
    const MessageT answer = RunModalDialog(
        layoutNumber, operation,
        [&](CDialog& dialog) {
            std::size_t i = 0;
            for (PaneIDT id : fields) {
                CPane* field = dialog.FindPaneByID(id);
                if (field == nullptr) ThrowNilPointer(operation);
                field->SetDescriptor(values[i]);
                if (auto* edit = qobject_cast<QLineEdit*>(field->GetWidget())) {
                    if (id == MakeFourCharCode("PASS")) edit->setEchoMode(QLineEdit::Password);
                    if (i == 0) edit->selectAll();
                }
                if (i++ == 0) field->MakeKeyboardTarget();
            }
            if (gTyping) gTyping(dialog);
        },
        [&](CDialog& dialog) {
            std::size_t i = 0;
            for (PaneIDT id : fields) values[i++] = dialog.FindPaneByID(id)->GetDescriptor();
        });
    return answer == kMsgOK;
}
