#include "foundation/system/desktop_url_handler.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <vector>

#include "foundation/text/ascii.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The non-empty pieces of a ':' or ';' list.
std::vector<std::string> SplitList(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    for (std::string_view part : SplitAt(text, separator))
        if (!part.empty()) parts.emplace_back(part);
    return parts;
}

// XDG base folders: a relative value in the variables is ignored, as the
// XDG base directory rules require.
std::string HomeBased(const char* variable, const char* fallbackBelowHome)
{
    std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/') return value;
    std::string home = Environment("HOME");
    return home.empty() ? std::string() : home + fallbackBelowHome;
}

std::vector<std::string> FolderList(const char* variable, const char* fallback)
{
    std::vector<std::string> folders;
    std::string value = Environment(variable);
    for (std::string& folder : SplitList(value.empty() ? fallback : value, ':'))
        if (folder.front() == '/') folders.push_back(std::move(folder));
    return folders;
}

std::vector<std::string> DataFolders()
{
    std::vector<std::string> folders;
    std::string home = HomeBased("XDG_DATA_HOME", "/.local/share");
    if (!home.empty()) folders.push_back(home);
    for (std::string& folder : FolderList("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        folders.push_back(std::move(folder));
    return folders;
}

// mimeapps.list files, most important first.
std::vector<std::string> ListFiles()
{
    std::vector<std::string> desktops;
    for (const std::string& desktop : SplitList(Environment("XDG_CURRENT_DESKTOP"), ':'))
        desktops.push_back(AsciiLowercased(desktop));
    std::vector<std::string> folders;
    std::string configHome = HomeBased("XDG_CONFIG_HOME", "/.config");
    if (!configHome.empty()) folders.push_back(configHome);
    for (std::string& folder : FolderList("XDG_CONFIG_DIRS", "/etc/xdg")) folders.push_back(std::move(folder));
    for (const std::string& folder : DataFolders()) folders.push_back(folder + "/applications");

    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        for (const std::string& desktop : desktops) files.push_back(folder + "/" + desktop + "-mimeapps.list");
        files.push_back(folder + "/mimeapps.list");
    }
    return files;
}

// The value of `key` in `group` of a desktop-entry style file; false when
// the file or the key is missing.
bool ReadKey(const std::string& path, std::string_view group, std::string_view key, std::string& value)
{
    std::ifstream file(path);
    if (!file) return false;
    std::string line;
    bool inGroup = false;
    while (std::getline(file, line)) {
        std::string_view text = TrimAsciiSpace(line);
        if (text.empty() || text.front() == '#') continue;
        if (text.front() == '[') {
            inGroup = text.size() == group.size() + 2 && text.substr(1, group.size()) == group &&
                      text.back() == ']';
            continue;
        }
        if (!inGroup) continue;
        std::size_t equals = text.find('=');
        if (equals == std::string_view::npos || TrimAsciiSpace(text.substr(0, equals)) != key) continue;
        value = std::string(TrimAsciiSpace(text.substr(equals + 1)));
        return true;
    }
    return false;
}

bool IsRegularFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Where an installed desktop entry lives: "a-b.desktop" may be
// applications/a-b.desktop or applications/a/b.desktop.
bool LocateDesktopEntry(const std::string& id, std::string& path)
{
    // An id names a file inside applications/, never a way out of it (its
    // dashes may become folder separators below).
    if (id.find('/') != std::string::npos || id.find("..") != std::string::npos || id.size() <= 8 ||
        id.compare(id.size() - 8, 8, ".desktop") != 0)
        return false;
    for (const std::string& folder : DataFolders()) {
        std::string candidate = folder + "/applications/" + id;
        if (IsRegularFile(candidate)) {
            path = candidate;
            return true;
        }
        std::string nested = id;
        for (std::size_t dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash + 1)) {
            nested[dash] = '/';
            candidate = folder + "/applications/" + nested;
            if (IsRegularFile(candidate)) {
                path = candidate;
                return true;
            }
        }
    }
    return false;
}

bool FindInGroup(const std::vector<std::string>& files, std::string_view group, const std::string& key,
                 DesktopApplication& application)
{
    for (const std::string& file : files) {
        std::string value;
        if (!ReadKey(file, group, key, value)) continue;
        for (const std::string& id : SplitList(value, ';')) {
            std::string path;
            if (!LocateDesktopEntry(id, path)) continue;
            std::string name;
            if (!ReadKey(path, "Desktop Entry", "Name", name) || name.empty()) name = id;
            application = {id, name, path};
            return true;
        }
    }
    return false;
}

}  // namespace

bool FindURLSchemeHandler(std::string_view scheme, DesktopApplication& application)
{
    if (scheme.empty()) return false;
    const std::string key = "x-scheme-handler/" + AsciiLowercased(scheme);
    std::vector<std::string> files = ListFiles();
    return FindInGroup(files, "Default Applications", key, application) ||
           FindInGroup(files, "Added Associations", key, application);
}
