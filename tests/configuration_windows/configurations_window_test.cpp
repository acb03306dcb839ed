// The configurations window on a real configurations folder.
#include <filesystem>
#include <fstream>

#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

#include "app/framework/cleanup.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/configurations_window.h"
#include "engine/config/configuration_files.h"
#include "tests/configuration_windows/configuration_test_support.h"
#include "tests/windows/dialog_keys.h"

namespace configtest {
namespace {

using namespace configwin;

std::vector<std::string> Rows(CConfigurationsWindow& window)
{
    std::vector<std::string> rows;
    for (const auto& row : window.Table()->AllRows()) rows.push_back(row[0]);
    return rows;
}

std::vector<std::string> Files(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Each operation with a typed name (or the answer to deleting): the rows and
// the folder afterwards, and whether an alert told the user why nothing
// happened.
TEST_F(ConfigurationWindows, NewDuplicateRenameDeleteOnTheFolder)
{
    const struct {
        const char* what;
        MessageT message;
        int selectRow;
        const char* typed;
        MessageT answer;
        std::vector<std::string> rows;
        std::vector<std::string> files;
        bool alert;
    } cases[] = {
        {"new", kMsgNew, 0, "Fresh", kMsgOK, {"Fresh", "alpha", "beta"}, {"Fresh", "alpha", "beta"}, false},
        {"new cancelled", kMsgNew, 0, "Fresh", kMsgCancel, {"alpha", "beta"}, {"alpha", "beta"}, false},
        {"new existing", kMsgNew, 0, "beta", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"new Default", kMsgNew, 0, "Default", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"new empty", kMsgNew, 0, "", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"new slash", kMsgNew, 0, "a/b", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"new hidden", kMsgNew, 0, ".dot", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"new on disk only", kMsgNew, 0, "late", kMsgOK, {"alpha", "beta"}, {"alpha", "beta", "late"}, true},
        {"duplicate", kMsgDuplicate, 1, "copy", kMsgOK, {"copy", "alpha", "beta"}, {"alpha", "beta", "copy"}, false},
        {"duplicate Default", kMsgDuplicate, 1, "Default", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"rename", kMsgRename, 1, "gamma", kMsgOK, {"alpha", "gamma"}, {"alpha", "gamma"}, false},
        {"rename existing", kMsgRename, 1, "alpha", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"rename Default", kMsgRename, 0, "Default", kMsgOK, {"alpha", "beta"}, {"alpha", "beta"}, true},
        {"delete", kMsgDelete, 0, "", kMsgOK, {"beta"}, {"beta"}, false},
        {"delete cancelled", kMsgDelete, 0, "", kMsgCancel, {"alpha", "beta"}, {"alpha", "beta"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(Folder());
        CConfiguration alpha;
        alpha.mGeneralOptions.linkDepth = 4;
        Store("alpha", alpha);
        Store("beta", CConfiguration());
        std::ofstream(Folder() + "/.hidden") << "x";
        std::filesystem::create_directory(Folder() + "/folder");
        CConfigurationsWindow* window = ShowConfigurationsWindow();
        std::vector<std::string> listed = Rows(*window);
        std::sort(listed.begin(), listed.end());
        ASSERT_EQ(listed, (std::vector<std::string>{"alpha", "beta"}));
        window->Table()->FillRows({{"alpha"}, {"beta"}});  // a known order
        if (std::string(c.what) == "new on disk only") Store("late", CConfiguration());
        window->Table()->SelectRow(c.selectRow);
        CScriptedAnswers::Clear();
        if (c.message != kMsgDelete) Type({{kName, c.typed}});
        CScriptedAnswers::Push(c.answer);  // the name dialog, or the question before deleting
        if (c.alert) CScriptedAnswers::Push(kMsgOK);
        window->ListenToMessage(c.message, nullptr);
        if (!c.alert) {
            EXPECT_FALSE(CScriptedAnswers::HasAnswers());
        }
        const auto& asked = CScriptedAnswers::Asked();
        const bool alerted = asked.size() > 1 && asked.back().layoutNumber == 0;
        EXPECT_EQ(alerted, c.alert);
        EXPECT_EQ(Rows(*window), c.rows);
        std::vector<std::string> files = Files(Folder());
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [](const std::string& n) { return n == ".hidden" || n == "folder"; }),
                    files.end());
        EXPECT_EQ(files, c.files);
        if (std::string(c.what) == "duplicate") {
            EXPECT_EQ(Bytes(Folder() + "/copy"), Bytes(Folder() + "/beta"));
        }
        delete window;
    }
}

// A window with the files alpha and beta, rows in that order, alpha selected.
CConfigurationsWindow* AlphaAndBeta(const std::string& folder)
{
    std::filesystem::remove_all(folder);
    for (const char* name : {"alpha", "beta"}) EXPECT_EQ(CConfiguration().Save(name).Code(), 0);
    CConfigurationsWindow* window = ShowConfigurationsWindow();
    window->Table()->FillRows({{"alpha"}, {"beta"}});
    window->Table()->SelectRow(0);
    return window;
}

std::vector<std::string> Texts(QWidget& dialog)
{
    std::vector<std::string> texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) texts.push_back(label->text().toStdString());
    return texts;
}

// The name dialogs by keyboard: the name is typed into the field that has
// the first focus; Return does the operation, Escape nothing.
TEST_F(ConfigurationWindows, NameDialogsAnswerTheKeyboard)
{
    const struct {
        const char* what;
        MessageT message;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<std::string> files;
    } cases[] = {
        {"new, return", kMsgNew, Qt::Key_Return, Qt::NoModifier, {"Fresh", "alpha", "beta"}},
        {"new, escape", kMsgNew, Qt::Key_Escape, Qt::NoModifier, {"alpha", "beta"}},
        {"duplicate, return", kMsgDuplicate, Qt::Key_Return, Qt::NoModifier, {"Fresh", "alpha", "beta"}},
        {"rename, return", kMsgRename, Qt::Key_Return, Qt::NoModifier, {"Fresh", "beta"}},
        {"rename, escape", kMsgRename, Qt::Key_Escape, Qt::NoModifier, {"alpha", "beta"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigurationsWindow* window = AlphaAndBeta(Folder());
        bool typedIntoField = false;
        windowtest::PressInNextDialog(c.key, c.modifiers, [&](QWidget& focused) {
            typedIntoField = qobject_cast<QLineEdit*>(&focused) != nullptr;
            QTest::keyClicks(&focused, "Fresh");
        });
        window->ListenToMessage(c.message, nullptr);
        EXPECT_TRUE(typedIntoField);
        EXPECT_EQ(Files(Folder()), c.files);
        EXPECT_TRUE(CScriptedAnswers::Asked().empty());
        delete window;
    }
}

// Deleting asks first, whether by the Delete key, Backspace or the button:
// only the confirmed answer (Return presses Delete) removes the file;
// Escape, and Space on the first focus (Cancel), keep it.
TEST_F(ConfigurationWindows, DeletingAsksFirst)
{
    const struct {
        const char* way;
        Qt::Key deleteKey;  // 0: the Delete button
    } ways[] = {{"delete key", Qt::Key_Delete}, {"backspace", Qt::Key_Backspace}, {"button", Qt::Key(0)}};
    const struct {
        Qt::Key key;
        bool removed;
    } answers[] = {{Qt::Key_Return, true}, {Qt::Key_Escape, false}, {Qt::Key_Space, false}};
    for (const auto& way : ways) {
        for (const auto& answer : answers) {
            SCOPED_TRACE(testing::Message() << way.way << ", answer key " << answer.key);
            CConfigurationsWindow* window = AlphaAndBeta(Folder());
            std::vector<std::string> asked;
            windowtest::PressInNextDialog(answer.key, Qt::NoModifier, [&](QWidget& focused) {
                asked = Texts(*focused.window());
                Screenshot(focused.window(), "delete-confirmation");
            });
            if (way.deleteKey != 0) {
                window->Table()->setFocus();
                QTest::keyClick(window->Table(), way.deleteKey);
            } else {
                Click(window->FindPaneByID(6));
            }
            EXPECT_NE(std::find(asked.begin(), asked.end(), "Delete the configuration \"alpha\"?"), asked.end());
            const std::vector<std::string> kept{"alpha", "beta"}, removed{"beta"};
            EXPECT_EQ(Files(Folder()), answer.removed ? removed : kept);
            EXPECT_EQ(Rows(*window), answer.removed ? removed : kept);
            delete window;
        }
    }
}

// A failing file operation leaves the rows as the folder is.
TEST_F(ConfigurationWindows, FailedFileOperationShowsTheFolder)
{
    Store("alpha", CConfiguration());
    CConfigurationsWindow* window = ShowConfigurationsWindow();
    std::filesystem::remove(Folder() + "/alpha");  // gone behind the window's back
    window->Table()->SelectRow(0);
    Type({{kName, "renamed"}});
    CScriptedAnswers::Push(kMsgOK);
    CScriptedAnswers::Push(kMsgOK);  // the alert
    window->DoRenameSelection();
    EXPECT_EQ(CScriptedAnswers::Asked().back().layoutNumber, 0);
    EXPECT_TRUE(Rows(*window).empty());
}

// Edit opens the editor and closes the configurations window only after its
// message handling has returned; without a selection nothing happens.
TEST_F(ConfigurationWindows, EditReplacesTheWindowAfterItsHandler)
{
    CConfiguration alpha;
    alpha.mGeneralOptions.linkDepth = 4;
    Store("alpha", alpha);
    CConfigurationsWindow* window = ShowConfigurationsWindow();
    window->Table()->SelectRow(-1);
    window->ListenToMessage(kMsgEdit, nullptr);
    EXPECT_TRUE(CWindow::WindowsOfClass<CEditConfigurationWindow>().empty());
    window->Table()->SelectRow(0);
    int row = 0;
    window->Table()->BroadcastMessage(CDragAndDropTable::kMsgDoubleClick, &row);
    auto editors = CWindow::WindowsOfClass<CEditConfigurationWindow>();
    ASSERT_EQ(editors.size(), 1U);
    EXPECT_EQ(editors[0]->GetTitle(), "alpha");
    EXPECT_EQ(editors[0]->WorkingCopy().mGeneralOptions.linkDepth, 4);
    // Still there, hidden, until the next cleanup.
    EXPECT_EQ(CWindow::WindowsOfClass<CConfigurationsWindow>().size(), 1U);
    EXPECT_FALSE(window->IsVisible());
    Cleanup();
    EXPECT_TRUE(CWindow::WindowsOfClass<CConfigurationsWindow>().empty());
    Screenshot(editors[0]->GetWidget(), "editor-from-configurations");
}

TEST_F(ConfigurationWindows, ConfigurationsWindowScreenshot)
{
    for (const char* name : {"Work", "Archive", "News sites"}) Store(name, CConfiguration());
    CConfigurationsWindow* window = ShowConfigurationsWindow();
    EXPECT_EQ(window->Table()->RowCount(), 3);
    std::string tag;
    EXPECT_TRUE(window->GetPaneHelpText(3, tag));
    EXPECT_EQ(tag, "Create a new configuration");
    Screenshot(window->GetWidget(), "configurations-window");
}

}  // namespace
}  // namespace configtest
