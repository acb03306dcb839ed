// Rows dragged within a table, between the tables of two editors, and text
// dropped in from elsewhere.
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "tests/configuration_windows/configuration_test_support.h"

namespace configtest {
namespace {

using Rows = std::vector<CDragAndDropTable::Row>;

Rows Column(std::initializer_list<const char*> names)
{
    Rows rows;
    for (const char* name : names) rows.push_back({name});
    return rows;
}

TEST(DragAndDropTable, DropsMovesAndCopies)
{
    const std::string long300(300, 'z');
    const struct {
        const char* what;
        int columns;
        Rows start;
        int selected;
        std::string text;
        int boundary;
        bool sameTable;
        bool copy;
        Rows expected;
        int selectedAfter;
    } cases[] = {
        {"text onto an empty table", 1, {}, -1, "one", 0, false, false, Column({"one"}), 0},
        {"move row 2 below row 4", 1, Column({"a", "b", "c", "d", "e"}), 1, "b", 4, true, false,
         Column({"a", "c", "d", "b", "e"}), 3},
        {"move row 4 above row 1", 1, Column({"a", "b", "c", "d", "e"}), 3, "d", 0, true, false,
         Column({"d", "a", "b", "c", "e"}), 0},
        {"move onto itself", 1, Column({"a", "b", "c"}), 1, "b", 2, true, false, Column({"a", "b", "c"}), 1},
        {"copy within the table", 1, Column({"a", "b", "c"}), 0, "a", 3, true, true, Column({"a", "b", "c", "a"}), 3},
        {"no boundary: the end", 1, Column({"a"}), 0, "x", -1, false, false, Column({"a", "x"}), 1},
        {"long text is cut", 1, {}, -1, long300, 0, false, false, Rows{{std::string(255, 'z')}}, 0},
        {"a,,c into three columns", 3, {}, -1, "a,,c", 0, false, false, Rows{{"a", "c", ""}}, 0},
        {"extra pieces ignored", 2, {}, -1, "n,v,w", 0, false, false, Rows{{"n", "v"}}, 0},
        // A move keeps the cells exactly, commas and all.
        {"move keeps commas", 3, Rows{{"a,1", "u", "p,w"}, {"b", "v", "q"}}, 0, "a,1,u,p,w", 2, true, false,
         Rows{{"b", "v", "q"}, {"a,1", "u", "p,w"}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CDragAndDropTable table(c.columns);
        table.FillRows(c.start);
        table.SelectRow(c.selected);
        table.HandleDrop(c.text, c.boundary, c.sameTable, c.copy);
        EXPECT_EQ(table.AllRows(), c.expected);
        EXPECT_EQ(table.SelectedRow(), c.selectedAfter);
    }
}

// A row of one editor's realms table, dropped as its text on another
// editor's table, becomes a realm there; Delete removes a row.
TEST_F(ConfigurationWindows, RowsBetweenTwoEditorsAndTheDeleteKey)
{
    CConfiguration first;
    first.mSiteLogin.realmList.Append(CRealm{"Staff", "ann", "pw"});
    Store("First", first);
    Store("Second", CConfiguration());
    CEditConfigurationWindow* from = Edit("First", 2);
    CEditConfigurationWindow* to = Edit("Second", 2);
    CDragAndDropTable* source = Panel(*from).Table(configwin::kTable);
    CDragAndDropTable* target = Panel(*to).Table(configwin::kTable);
    const std::string text = source->DragText(0);
    EXPECT_EQ(text, "Staff,ann,pw");

    Screenshot(to->GetWidget(), "realms-before-drop");
    QMimeData data;
    data.setText(QString::fromStdString(text));
    const QPoint point(5, 5);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target->viewport(), &drop);
    ASSERT_EQ(target->RowCount(), 1);
    EXPECT_EQ(target->RowCells(0), (CDragAndDropTable::Row{"Staff", "ann", "pw"}));
    EXPECT_EQ(source->RowCount(), 1);  // a copy: the source keeps its row

    ShowTab(*to, 1);
    CFixedString255 user, password;
    EXPECT_TRUE(to->WorkingCopy().mSiteLogin.FindRealm("Staff", user, password));

    source->SelectRow(0);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(source, &key);
    EXPECT_EQ(source->RowCount(), 0);
    ShowTab(*from, 1);
    EXPECT_TRUE(from->WorkingCopy().mSiteLogin.realmList.IsEmpty());
}

// Realm dialogs: New inserts at the top, Edit writes back, Delete asks and
// Cancel keeps the row.
TEST_F(ConfigurationWindows, RealmButtons)
{
    CEditConfigurationWindow* editor = Edit("Default", 2);
    CEditConfigurationPanel& panel = Panel(*editor);
    CDragAndDropTable* table = panel.Table(configwin::kTable);
    using namespace configwin;
    Type({{kDialogName, "R1"}, {kDialogUser, "u1"}, {kDialogPassword, "p1"}});
    CScriptedAnswers::Push(kMsgOK);
    Click(panel.Pane(kNewRow));
    Type({{kDialogName, "R0"}});
    CScriptedAnswers::Push(kMsgOK);
    Click(panel.Pane(kNewRow));
    ASSERT_EQ(table->RowCount(), 2);
    EXPECT_EQ(table->RowCells(0)[0], "R0");
    table->SelectRow(1);
    Type({{kDialogUser, "u2"}});
    CScriptedAnswers::Push(kMsgOK);
    Click(panel.Pane(kEditRow));
    EXPECT_EQ(table->RowCells(1), (CDragAndDropTable::Row{"R1", "u2", "p1"}));
    CScriptedAnswers::Push(kMsgCancel);
    Click(panel.Pane(kDeleteRow));
    EXPECT_EQ(table->RowCount(), 2);
    CScriptedAnswers::Push(kMsgOK);
    Click(panel.Pane(kDeleteRow));
    EXPECT_EQ(table->RowCount(), 1);
}

}  // namespace
}  // namespace configtest
