// The configurations window on a real configurations folder.
#include <filesystem>
#include <fstream>

#include "app/framework/cleanup.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/configurations_window.h"
#include "engine/config/configuration_files.h"
#include "tests/configuration_windows/configuration_test_support.h"

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

// Each operation with a typed name: the rows and the folder afterwards, and
// whether an alert told the user why nothing happened.
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
        if (c.message != kMsgDelete) {
            Type({{kName, c.typed}});
            CScriptedAnswers::Push(c.answer);
        }
        if (c.alert) CScriptedAnswers::Push(kMsgOK);
        window->ListenToMessage(c.message, nullptr);
        if (!c.alert) {
            EXPECT_FALSE(CScriptedAnswers::HasAnswers());
        }
        const bool alerted = !CScriptedAnswers::Asked().empty() && CScriptedAnswers::Asked().back().layoutNumber == 0;
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
