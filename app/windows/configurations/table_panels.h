// The Authentication panel (tab 2) and the Delimiters panel (built and
// registered, shown by no tab): each edits one list in an editable table.
#pragma once

#include "app/windows/configurations/configuration_panel.h"

// Rows of the tables and the lists they stand for.
using TableRows = std::vector<std::vector<std::string>>;
TableRows RealmRows(const TPooledList<CRealm>& realms);
void RealmsFromRows(const TableRows& rows, TPooledList<CRealm>& realms);
TableRows InputItemRows(const TPooledList<CInputItem>& items);
void InputItemsFromRows(const TableRows& rows, TPooledList<CInputItem>& items);
TableRows DelimiterRows(const TPooledList<CDelimiter>& delimiters);
// Each pair keeps the enabled flag of the pair it was (the first unused old
// pair with the same texts); a pair that is new is enabled.
void DelimitersFromRows(const TableRows& rows, TPooledList<CDelimiter>& delimiters);

class CDragAndDropTable;

// The New, Delete and Edit buttons of an editable table: New inserts the
// dialog's fields as the top row, Delete removes the selected row (after a
// confirmation dialog when there is one), Edit (and, where it does, a double
// click) writes the dialog's fields back into the selected row.
struct SRowButtons {
    MessageT newRow;
    MessageT deleteRow;
    MessageT editRow;
    int newDialog;
    int editDialog;
    int confirmDialog;  // 0: none
    std::vector<PaneIDT> fields;
    bool doubleClickEdits;
};
// True when the message was one of them.
bool HandleRowButton(CDragAndDropTable& table, MessageT message, const SRowButtons& buttons);

class CRealmsPanel : public CEditConfigurationPanel {
public:
    CRealmsPanel(CConfigurationPanelHost& window, CPane& view);
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;
};

class CDelimitersPanel : public CEditConfigurationPanel {
public:
    static constexpr MessageT kMsgNewPair = MakeFourCharCode("NDEL");
    static constexpr MessageT kMsgDeletePair = MakeFourCharCode("DDEL");
    static constexpr MessageT kMsgEditPair = MakeFourCharCode("EDEL");

    CDelimitersPanel(CConfigurationPanelHost& window, CPane& view);
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;
};
