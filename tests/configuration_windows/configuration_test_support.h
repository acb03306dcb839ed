// What the configuration windows' tests share: a private environment with
// the framework's and these windows' classes, scripted dialogs and choosers,
// editors opened on real configuration files, and screenshots.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/framework/dialog.h"
#include "app/windows/configurations/configuration_panel.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "app/windows/configurations/file_choosers.h"
#include "tests/crawl/crawl_test_support.h"

class QImage;

namespace configtest {

class ConfigurationWindows : public crawltest::CrawlEnvironment {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Folder() const;
    // Writes a configuration file.
    void Store(const std::string& name, const CConfiguration& configuration);
    // Opens an editor on `name` at tab `tab`.
    CEditConfigurationWindow* Edit(const std::string& name, int tab = 1);
    static void ShowTab(CEditConfigurationWindow& editor, int tab);
    static CEditConfigurationPanel& Panel(CEditConfigurationWindow& editor);
    static void Click(CPane* pane);
    // The next scripted dialog gets these texts typed into its fields.
    void Type(std::map<PaneIDT, std::string> fields);
    // Answers of the next choosers, in order; nothing for Cancel.
    std::vector<std::optional<std::string>> mChosen;
    std::vector<SChooserRequest> mChooserRequests;
    std::vector<std::vector<std::string>> mSpawned;
    // Deletes the windows closed meanwhile.
    static void Cleanup();
    // Draws the widget; saved as "<name>.png" in $TIDEWELL_SCREENSHOT_DIR when set.
    static QImage Screenshot(QWidget* widget, const std::string& name);

private:
    std::vector<std::map<PaneIDT, std::string>> mTyping;
};

// A configuration with every field the panels show changed from the
// built-in values, including values a control cannot show exactly.
CConfiguration EveryFieldChanged();

}  // namespace configtest
