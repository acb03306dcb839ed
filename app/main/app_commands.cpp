#include "app/main/app_commands.h"

#include <map>

#include "foundation/text/text_encodings.h"

std::string ResourcePath(const std::string& name) { return ResourceFolder() + "/" + name; }

std::string HelpPageForWindow(const std::string& windowName)
{
    static const std::map<std::string, std::string> pages = {
        {"Grab Quick Window", "quicker-grabber.html"},
        {"Grabber Window", "grabber.html"},
        {"Search Window", "search.html"},
        {"Update Window", "update.html"},
        {"Preferences Window", "preferences.html"},
        {"Configurations Window", "configurations.html"},
        {"Edit Configuration Window", "configuration-editor.html"},
    };
    auto found = pages.find(windowName);
    return ResourcePath("help/" + (found != pages.end() ? found->second : std::string("index.html")));
}

std::string SupportMailURL(const std::string& version)
{
    return std::string("mailto:") + kSupportMailAddress + "?subject=Tidewell%20" + version;
}
