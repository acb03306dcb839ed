#include "app/windows/configurations/help_pages.h"

#include <string>

#include <QApplication>

#include "app/windows/configurations/configurations_layout.h"
#include "foundation/text/text_encodings.h"
#include "platform/launch/program_launcher.h"

void OpenHelpPage(const char* page)
{
    const std::string path = ResourceFolder() + "/help/" + page;
    if (OpenWithDesktop(path) != 0) QApplication::beep();
}

const char* PanelHelpPage(int panelLayout)
{
    static constexpr const char* kPages[configwin::kTabCount] = {
        "general-panel.html",          "authentication-panel.html", "negative-filters-panel.html",
        "positive-filters-panel.html", "other-filters-panel.html",  "logging-panel.html",
        "input-items-panel.html",
    };
    const int tab = panelLayout - configwin::kEditorLayout;
    return tab >= 1 && tab <= configwin::kTabCount ? kPages[tab - 1] : "configuration-editor.html";
}
