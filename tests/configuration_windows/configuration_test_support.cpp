#include "tests/configuration_windows/configuration_test_support.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/scheduler_driver.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/configurations_window.h"
#include "app/windows/configurations/dialog_fields.h"
#include "app/windows/configurations/open_configurations.h"
#include "engine/config/configuration_files.h"
#include "foundation/files/file_ref.h"
#include "platform/launch/program_launcher.h"

namespace configtest {

void ConfigurationWindows::SetUp()
{
    CrawlEnvironment::SetUp();
    static const bool registered = [] {
        RegisterStandardClasses();
        RegisterConfigurationWindows();
        return true;
    }();
    (void)registered;
    CSchedulerDriver::Install();
    CScriptedAnswers::Clear();
    SetFileChooser([this](const SChooserRequest& request) -> std::optional<std::string> {
        mChooserRequests.push_back(request);
        if (mChosen.empty()) return std::nullopt;
        std::optional<std::string> answer = mChosen.front();
        mChosen.erase(mChosen.begin());
        return answer;
    });
    SetDialogTyping([this](CDialog& dialog) {
        if (mTyping.empty()) return;
        for (const auto& [id, text] : mTyping.front()) dialog.FindPaneByID(id)->SetDescriptor(text);
        mTyping.erase(mTyping.begin());
    });
    SetProgramSpawner([this](const std::vector<std::string>& argv) {
        mSpawned.push_back(argv);
        return 0;
    });
}

void ConfigurationWindows::TearDown()
{
    for (CWindow* window : std::vector<CWindow*>(CWindow::AllWindows())) delete window;
    DeleteScheduledObjects();
    SetFileChooser({});
    SetDialogTyping({});
    SetProgramSpawner({});
    CScriptedAnswers::Clear();
    CSchedulerDriver::Uninstall();
    CrawlEnvironment::TearDown();
}

std::string ConfigurationWindows::Folder() const { return ConfigurationsFolder(); }

void ConfigurationWindows::Store(const std::string& name, const CConfiguration& configuration)
{
    ASSERT_EQ(configuration.Save(name).Code(), 0) << name;
}

CEditConfigurationWindow* ConfigurationWindows::Edit(const std::string& name, int tab)
{
    CEditConfigurationWindow* editor = ShowEditConfigurationWindow(nullptr, name);
    ShowTab(*editor, tab);
    return editor;
}

void ConfigurationWindows::ShowTab(CEditConfigurationWindow& editor, int tab)
{
    editor.FindPaneByID(configwin::kTabs)->SetValue(tab);
}

CEditConfigurationPanel& ConfigurationWindows::Panel(CEditConfigurationWindow& editor) { return *editor.GetPanel(); }

void ConfigurationWindows::Click(CPane* pane)
{
    ASSERT_NE(pane, nullptr);
    auto* button = qobject_cast<QAbstractButton*>(pane->GetWidget());
    ASSERT_NE(button, nullptr);
    button->click();
}

void ConfigurationWindows::Type(std::map<PaneIDT, std::string> fields) { mTyping.push_back(std::move(fields)); }

void ConfigurationWindows::Cleanup() { DeleteScheduledObjects(); }

QImage ConfigurationWindows::Screenshot(QWidget* widget, const std::string& name)
{
    widget->show();
    QApplication::processEvents();
    const QImage picture = widget->grab().toImage();
    if (const char* folder = std::getenv("TIDEWELL_SCREENSHOT_DIR"))
        picture.save(QString::fromUtf8(folder) + "/" + QString::fromStdString(name) + ".png");
    return picture;
}

CConfiguration EveryFieldChanged()
{
    CConfiguration c;
    CGeneralOptions& g = c.mGeneralOptions;
    g.directoryDepth = 7;
    g.linkDepth = 3;
    g.saveAction = 2;  // no check box shows 2
    g.useRobotsTxt = 1;
    g.allowSecondaryDomains = 1;
    g.removeJavaScript = 1;
    g.useCookies = 0;
    g.checkFileModificationDates = 1;
    g.useServerContentType = 1;
    g.ignoreDynamicURLs = 1;
    g.grabOffsiteURLs = 1;
    g.offsiteHosts = {CFixedString255("a.example"), CFixedString255("b.example")};
    g.remapURLs = 0;
    g.remapAllPHP = 0;
    g.relinkURLs = 0;
    g.checkForRedirection = 1;  // kept though its box is off
    g.remapSecondaryDomains = 0;
    g.crawlSecondaryDomains = 1;
    g.setExtensionFromContentType = 1;
    g.alwaysUseExtension = 1;
    g.pauseSeconds = 2;
    g.yieldQuantum = 4;
    g.timeout = 45;
    g.indexFilename = "home.htm";
    g.extension = ".xhtml";
    g.localPath = "/tmp/mirror here";
    c.mSiteLogin.siteUsername = "site-user";
    c.mSiteLogin.sitePassword = "site secret";
    c.mSiteLogin.realmList.Append(CRealm{"Staff, only", "ann", "pw,1"});
    c.mSiteLogin.realmList.Append(CRealm{"Lab", "", "x"});
    std::string longWord(120, 'w');
    for (int set = 1; set <= 3; ++set) {
        CFilterSet& f = set == 1 ? c.mGrabFilters : set == 2 ? c.mCrawlFilters : c.mSaveFilters;
        const std::string tag = std::to_string(set);
        for (FilterStringList* list :
             {&f.filenameContains, &f.filenameBeginsWith, &f.filenameEndsWith, &f.suffixIs, &f.mimeContains,
              &f.pathContains, &f.pathBeginsWith, &f.pathEndsWith, &f.filenameDoesNotContain,
              &f.filenameDoesNotBeginWith, &f.filenameDoesNotEndWith, &f.suffixIsNot, &f.mimeDoesNotContain,
              &f.pathDoesNotContain, &f.pathDoesNotBeginWith, &f.pathDoesNotEndWith, &f.contentQuery}) {
            list->Clear();
            list->Append(CFixedString255(std::string_view("x" + tag)));
        }
        // Longer together than a field shows.
        for (int i = 0; i < 3; ++i) f.pathContains.Append(CFixedString255(std::string_view(longWord + tag)));
        f.sizeLessThan = 1500;  // not whole thousands
        f.sizeGreaterThan = 999;
        f.afterDate = "2001-01-01";
        f.beforeDate = "2030-12-31";
        f.fileTypes.Clear();
        f.fileTypes.Append(0x54455854);  // 'TEXT'
        f.fileTypes.Append(0x20202020);  // four blanks
        f.pathToScript = "/usr/local/bin/check.sh";
        f.Compile();
    }
    CMiscOptions& m = c.mMiscOptions;
    m.logFolder = "/tmp/logs";
    m.generateSiteMap = 5;
    m.siteMapFormat = 9;  // not an item of the popup
    m.extractEmailAddresses = 1;
    m.collectPages = 1;
    m.generateLog = 1;
    m.offsiteLinks = 1;
    m.errorLinks = 1;
    m.generateEmail = 1;
    m.siteMapSuffixes.Clear();
    m.siteMapSuffixes.Append("html");
    m.siteMapSuffixes.Append("pdf");
    m.includeAll = 0;
    m.userAgent = "Agent/1.0";
    m.mailTo = "to@example.org";
    m.mailServer = "mail.example.org";
    m.replyTo = "reply@example.org";
    m.startMessage = "Line one\rLine two";
    m.finishMessage = "Done.";
    c.mFormOptions.formURL = "http://127.0.0.1/form";
    c.mFormOptions.formActionURL = "http://127.0.0.1/act?x=1";
    c.mFormOptions.method = CFormOptions::kMethodGet;
    c.mFormOptions.inputItemList.Append(CInputItem{"q", "a b"});
    c.mFormOptions.inputItemList.Append(CInputItem{"lang", "en,fr"});
    c.mDelimiters.Head()->element.enabled = 0;
    return c;
}

}  // namespace configtest
