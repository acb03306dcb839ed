#include "app/windows/configurations/table_panels.h"

#include <QLineEdit>

#include "app/framework/dialog.h"
#include "app/windows/configurations/dialog_fields.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/drag_and_drop_table.h"

using namespace configwin;

namespace {

const SRowButtons kRealmButtons{MakeFourCharCode("NREA"), MakeFourCharCode("DREA"), MakeFourCharCode("EREA"),
                                kNewRealmDialog, kEditRealmDialog, kDeleteRealmDialog,
                                {kDialogName, kDialogUser, kDialogPassword}, true};
const SRowButtons kDelimiterButtons{CDelimitersPanel::kMsgNewPair, CDelimitersPanel::kMsgDeletePair,
                                    CDelimitersPanel::kMsgEditPair, kNewDelimiterDialog, kEditDelimiterDialog, 0,
                                    {kDialogStart, kDialogEnd}, false};

CFixedString255 Cell(const std::vector<std::string>& row, std::size_t column)
{
    return column < row.size() ? CFixedString255(std::string_view(row[column])) : CFixedString255();
}

}  // namespace

bool HandleRowButton(CDragAndDropTable& table, MessageT message, const SRowButtons& buttons)
{
    if (message == buttons.newRow) {
        std::vector<std::string> values;
        if (RunFieldsDialog(buttons.newDialog, "NewRow", buttons.fields, values)) table.InsertRow(0, values);
    } else if (message == buttons.deleteRow) {
        if (buttons.confirmDialog == 0 || RunModalDialog(buttons.confirmDialog, "DeleteRow") == kMsgOK)
            table.RemoveRow(table.SelectedRow());
    } else if (message == buttons.editRow ||
               (buttons.doubleClickEdits && message == CDragAndDropTable::kMsgDoubleClick)) {
        const int row = table.SelectedRow();
        if (row < 0) return true;
        std::vector<std::string> values = table.RowCells(row);
        if (RunFieldsDialog(buttons.editDialog, "EditRow", buttons.fields, values)) table.SetRowCells(row, values);
    } else {
        return false;
    }
    return true;
}

TableRows RealmRows(const TPooledList<CRealm>& realms)
{
    TableRows rows;
    for (const CRealm& realm : realms) rows.push_back({realm.realm.str(), realm.userName.str(), realm.password.str()});
    return rows;
}

void RealmsFromRows(const TableRows& rows, TPooledList<CRealm>& realms)
{
    realms.Clear();
    for (const auto& row : rows) realms.Append(CRealm{Cell(row, 0), Cell(row, 1), Cell(row, 2)});
}

TableRows InputItemRows(const TPooledList<CInputItem>& items)
{
    TableRows rows;
    for (const CInputItem& item : items) rows.push_back({item.name.str(), item.value.str()});
    return rows;
}

void InputItemsFromRows(const TableRows& rows, TPooledList<CInputItem>& items)
{
    items.Clear();
    for (const auto& row : rows) items.Append(CInputItem{Cell(row, 0), Cell(row, 1)});
}

TableRows DelimiterRows(const TPooledList<CDelimiter>& delimiters)
{
    TableRows rows;
    for (const CDelimiter& pair : delimiters) rows.push_back({pair.start.str(), pair.end.str()});
    return rows;
}

void DelimitersFromRows(const TableRows& rows, TPooledList<CDelimiter>& delimiters)
{
    std::vector<CDelimiter> old(delimiters.begin(), delimiters.end());
    std::vector<bool> used(old.size(), false);
    delimiters.Clear();
    for (const auto& row : rows) {
        CDelimiter pair(Cell(row, 0).c_str(), Cell(row, 1).c_str(), 1);
        for (std::size_t i = 0; i < old.size(); ++i) {
            if (used[i] || old[i].start != pair.start || old[i].end != pair.end) continue;
            used[i] = true;
            pair.enabled = old[i].enabled;
            break;
        }
        delimiters.Append(pair);
    }
}

CRealmsPanel::CRealmsPanel(CConfigurationPanelHost& window, CPane& view) : CEditConfigurationPanel(window, view)
{
    BindTable(kTable, [](CConfiguration& c) { return RealmRows(c.mSiteLogin.realmList); },
              [](CConfiguration& c, const Rows& rows) { RealmsFromRows(rows, c.mSiteLogin.realmList); });
    BindText(kSiteUser, [](CConfiguration& c) -> CFixedString255& { return c.mSiteLogin.siteUsername; });
    BindText(kSitePassword, [](CConfiguration& c) -> CFixedString255& { return c.mSiteLogin.sitePassword; });
}

void CRealmsPanel::FinishCreateSelf()
{
    Listen({kNewRow, kDeleteRow, kEditRow});
    if (CDragAndDropTable* table = Table(kTable)) table->AddListener(this);
    if (CPane* password = Pane(kSitePassword))
        if (auto* field = qobject_cast<QLineEdit*>(password->GetWidget())) field->setEchoMode(QLineEdit::Password);
    LoadBindings();
}

void CRealmsPanel::ListenToMessage(MessageT message, void* ioParam)
{
    CDragAndDropTable* table = Table(kTable);
    if (table == nullptr || !HandleRowButton(*table, message, kRealmButtons))
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
}

CDelimitersPanel::CDelimitersPanel(CConfigurationPanelHost& window, CPane& view)
    : CEditConfigurationPanel(window, view)
{
    BindTable(kTable, [](CConfiguration& c) { return DelimiterRows(c.mDelimiters); },
              [](CConfiguration& c, const Rows& rows) { DelimitersFromRows(rows, c.mDelimiters); });
}

void CDelimitersPanel::FinishCreateSelf()
{
    Listen({kNewRow, kDeleteRow, kEditRow});
    LoadBindings();
}

void CDelimitersPanel::ListenToMessage(MessageT message, void* ioParam)
{
    CDragAndDropTable* table = Table(kTable);
    if (table == nullptr || !HandleRowButton(*table, message, kDelimiterButtons))
        CEditConfigurationPanel::ListenToMessage(message, ioParam);
}
