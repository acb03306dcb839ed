// Form capture against the scripted server, the test submission, and the
// user-agent import.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <QComboBox>

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "app/windows/configurations/form_capture.h"
#include "app/windows/configurations/input_items_panel.h"
#include "app/windows/configurations/misc_panel.h"
#include "app/windows/configurations/user_agents_import.h"
#include "foundation/settings/preference_store.h"
#include "tests/configuration_windows/configuration_test_support.h"
#include "tests/support/http_peer.h"

namespace configtest {
namespace {

using namespace configwin;
using testsupport::HttpPeer;
using testsupport::HttpRoute;
using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Items(const TPooledList<CInputItem>& items)
{
    Pairs pairs;
    for (const CInputItem& item : items) pairs.emplace_back(item.name.str(), item.value.str());
    return pairs;
}

TEST(ParseForms, TakesTheLastFormWithInputsAndItsOwnAction)
{
    const struct {
        const char* what;
        const char* page;
        int forms;
        Pairs items;
        const char* action;
    } cases[] = {
        {"two forms", "<form action=\"/a\"><input name=\"x\" value=\"1\"></form>"
                      "<FORM ACTION=\"/b\"><input name=\"y\"><select name=s><textarea name=t></FORM>",
         2, {{"y", ""}, {"s", ""}, {"t", ""}}, "/b"},
        {"unquoted", "<form action=go.cgi><input name=q value=x><input type=hidden name=k></form>", 1,
         {{"q", "x"}, {"k", ""}}, "go.cgi"},
        {"last form without inputs", "<form action=\"/search\"><input name=q></form><form action=\"/x\"></form>", 2,
         {{"q", ""}}, "/search"},
        {"no action", "<form><input name=a value='1 2'></form>", 1, {{"a", "1 2"}}, ""},
        {"a tag without a name", "<form action=/p><input type=submit value=Go><input name=n></form>", 1,
         {{"n", ""}}, "/p"},
        {"attribute tails do not count", "<form action=/p><input data-name=z username=u name=real></form>", 1,
         {{"real", ""}}, "/p"},
        {"no form", "<input name=a>", 0, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TPooledList<CInputItem> items;
        std::string action;
        EXPECT_EQ(ParseForms(c.page, items, action), c.forms);
        EXPECT_EQ(Items(items), c.items);
        EXPECT_EQ(action, c.action);
    }
}

// Load and Parse against the peer, then GET and POST test submissions
// saved to a file.
TEST_F(ConfigurationWindows, CapturesAFormAndSubmitsIt)
{
    const std::string page = "<html><body><form action=\"/first\"><input name=a></form>"
                             "<form method=get action=\"submit?fixed=1\"><input name=q value=\"a b\">"
                             "<input name=lang value=en></form></body></html>";
    HttpPeer peer({HttpRoute{.path = "/forms/page.html", .body = page},
                   HttpRoute{.method = "*", .path = "/forms/submit", .body = "ANSWER"}});
    CEditConfigurationWindow* editor = Edit("Default", 7);
    auto& panel = dynamic_cast<CInputItemsPanel&>(Panel(*editor));
    // Without a scheme: "http://" goes in front.
    panel.SetText(kFormURL, peer.Url("/forms/page.html").substr(7));
    ASSERT_TRUE(panel.LoadForm());
    EXPECT_TRUE(panel.Pane(kWarning)->IsVisible());
    EXPECT_EQ(panel.Text(kFormAction), peer.Url("/forms/submit?fixed=1"));
    EXPECT_EQ(panel.Table(kTable)->AllRows(), (std::vector<CDragAndDropTable::Row>{{"q", "a b"}, {"lang", "en"}}));
    Screenshot(editor->GetWidget(), "panel-input-items-captured");

    const struct {
        int method;
        const char* file;
        const char* target;
        const char* body;
    } cases[] = {
        {2, "get.html", "/forms/submit?fixed=1&q=a+b&lang=en", ""},
        {1, "post.html", "/forms/submit?fixed=1", "q=a+b&lang=en"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        panel.SetValue(kMethod, c.method);
        const std::string saved = Root() + "/" + c.file;
        mChosen = {saved};
        ASSERT_TRUE(panel.TestSubmission());
        std::ifstream file(saved);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "ANSWER");
        const auto requests = peer.Requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(requests.back().target, c.target);
        EXPECT_EQ(requests.back().body, c.body);
        ASSERT_FALSE(mSpawned.empty());
        EXPECT_EQ(mSpawned.back().back(), saved);
    }
    EXPECT_EQ(mChooserRequests.back().start, "Test Submission.html");

    // Clear empties the panel but keeps the method.
    Click(panel.Pane(kClear));
    EXPECT_EQ(panel.Table(kTable)->RowCount(), 0);
    EXPECT_EQ(panel.Text(kFormURL), "");
    EXPECT_EQ(panel.Value(kMethod), 1);
}

TEST(UserAgentsImport, ParsesEveryLineEnding)
{
    const Pairs expected{{"One", "Agent/1"}, {"Two", "Agent/2"}};
    const struct {
        const char* what;
        std::string text;
        Pairs agents;
    } cases[] = {
        {"CR", "One\tAgent/1\rTwo\tAgent/2\r", expected},
        {"LF", "One\tAgent/1\nTwo\tAgent/2", expected},
        {"CR LF", "One\tAgent/1\r\nTwo\tAgent/2\r\n", expected},
        {"runs of tabs and a third field", "One\t\t\tAgent/1\textra\nTwo\tAgent/2\n", expected},
        {"blank lines, no tab, duplicate", "\n\nOne\tAgent/1\r\nlonely\r\nOne\tOther\nTwo\tAgent/2", expected},
        {"long line cut", "N\t" + std::string(300, 'a'), Pairs{{"N", std::string(253, 'a')}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseUserAgents(c.text), c.agents) << c.what;
}

// Only a plain file is imported: a pipe would hold the window until a
// writer came, and a device may never end.
TEST_F(ConfigurationWindows, ImportTakesOnlyAPlainFile)
{
    const std::string pipe = Root() + "/agents.pipe";
    const std::string zeros = Root() + "/agents.zeros";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", zeros);
    const std::string plain = Root() + "/agents.txt";
    std::ofstream(plain) << "Alpha\tAlphaAgent/1\n";
    const struct {
        const char* what;
        std::string path;
        bool imported;
    } cases[] = {
        {"pipe", pipe, false},
        {"device", zeros, false},
        {"missing", Root() + "/none.txt", false},
        {"plain file", plain, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ImportUserAgents(c.path), c.imported);
        EXPECT_EQ(HasPreference("User Agents"), c.imported);
    }
    RevertUserAgents();
}

// Import fills the popup after the program's own agent and the separator
// and enables revert; revert brings back the shipped list.
TEST_F(ConfigurationWindows, ImportAndRevertUserAgents)
{
    const std::string file = Root() + "/agents.txt";
    std::ofstream(file) << "Alpha\tAlphaAgent/1\r\nBeta\tBetaAgent/2\n";
    CEditConfigurationWindow* editor = Edit("Default", 6);
    auto& panel = dynamic_cast<CMiscPanel&>(Panel(*editor));
    CPane* popup = panel.Pane(kUserAgentMenu);
    const int shipped = popup->CountMenuItems();
    EXPECT_FALSE(panel.Pane(kRevertAgents)->IsEnabled());
    mChosen = {file};
    Click(panel.Pane(kImportAgents));
    ASSERT_EQ(popup->CountMenuItems(), 4);
    EXPECT_EQ(popup->GetMenuItemText(3), "Alpha");
    EXPECT_TRUE(panel.Pane(kRevertAgents)->IsEnabled());
    // Picking an item changes only the field; the configuration when the panel saves.
    const CConfiguration before = editor->WorkingCopy();
    popup->SetValue(4);
    EXPECT_EQ(panel.Text(kUserAgent), "BetaAgent/2");
    EXPECT_TRUE(editor->WorkingCopy().IsEqual(before));
    Screenshot(editor->GetWidget(), "panel-logging-imported");

    CScriptedAnswers::Push(kMsgOK);
    Click(panel.Pane(kRevertAgents));
    EXPECT_EQ(popup->CountMenuItems(), shipped);
    EXPECT_FALSE(panel.Pane(kRevertAgents)->IsEnabled());
    EXPECT_FALSE(HasPreference("User Agents"));
}

}  // namespace
}  // namespace configtest
