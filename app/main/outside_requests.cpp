#include "app/main/outside_requests.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>

#include "engine/url/url_resolution.h"
#include "foundation/files/whole_file.h"
#include "foundation/text/ascii.h"
#include "platform/plist/plist_binary.h"
#include "platform/plist/plist_xml.h"

namespace {

// A location file holds one short URL; anything larger is something else.
constexpr off_t kMaxLocationFileBytes = 1024 * 1024;

bool IsLocationFileName(std::string_view path)
{
    return EndsWithNoCase(path, ".webloc") || EndsWithNoCase(path, ".desktop");
}

bool HasControlCharacters(std::string_view text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "file:///a%20b" -> "/a b"; nothing for other hosts or a NUL.
std::optional<std::string> FileURLPath(std::string_view url)
{
    url.remove_prefix(7);  // "file://"
    if (BeginsWithNoCase(url, "localhost/")) url.remove_prefix(9);
    if (url.empty() || url.front() != '/') return std::nullopt;
    std::string path;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && HexValue(url[i + 1]) >= 0 && HexValue(url[i + 2]) >= 0) {
            char c = static_cast<char>(HexValue(url[i + 1]) * 16 + HexValue(url[i + 2]));
            if (c == '\0') return std::nullopt;
            path += c;
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path.front() == '/') return path;
    char folder[PATH_MAX];
    if (getcwd(folder, sizeof folder) == nullptr) return path;
    return std::string(folder) + "/" + path;
}

std::optional<std::string> UsableURL(std::string_view text)
{
    std::string url = std::string(TrimAsciiSpace(text));
    if (url.empty() || HasControlCharacters(url)) return std::nullopt;
    return url;
}

std::optional<std::string> WeblocURL(std::string_view bytes)
{
    PlistValue root;
    bool parsed = IsBinaryPlist(bytes) ? ParseBinaryPlist(bytes, root) : ParsePlist(bytes, root);
    if (!parsed || !root.IsDictionary()) return std::nullopt;
    const PlistValue* url = root.Find("URL");
    if (url == nullptr || !url->IsString()) return std::nullopt;
    return UsableURL(url->Text());
}

// The desktop entry format's escapes in string values.
std::string UnescapeDesktopValue(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[++i];
        switch (next) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        default: out += next; break;
        }
    }
    return out;
}

std::optional<std::string> DesktopLinkURL(std::string_view text)
{
    bool inEntry = false, isLink = false;
    std::optional<std::string> url;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string line = std::string(TrimAsciiSpace(text.substr(0, end)));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = std::string(TrimAsciiSpace(std::string_view(line).substr(0, equals)));
        std::string value = std::string(TrimAsciiSpace(std::string_view(line).substr(equals + 1)));
        // The first of a repeated key counts (a later one is a broken file).
        if (key == "Type") isLink = isLink || value == "Link";
        else if (key == "URL" && !url) url = UnescapeDesktopValue(value);
    }
    if (!isLink || !url) return std::nullopt;
    return UsableURL(*url);
}

}  // namespace

SOutsideRequest ClassifyArgument(std::string_view argument)
{
    std::string text = std::string(TrimAsciiSpace(argument));
    if (text.empty()) return {};
    if (BeginsWithNoCase(text, "file://")) {
        std::optional<std::string> path = FileURLPath(text);
        if (!path) return {};
        return {EOutsideRequest::kOpenDocument, *path};
    }
    if (IsFetchableURL(text) && !HasControlCharacters(text)) return {EOutsideRequest::kGetURL, text};
    // Paths: exactly as given (names may begin or end with blanks).
    std::string path(argument);
    struct stat info;
    if (!path.empty() && (stat(path.c_str(), &info) == 0 || IsLocationFileName(path)))
        return {EOutsideRequest::kOpenDocument, Absolute(path)};
    return {EOutsideRequest::kService, text};
}

std::vector<SOutsideRequest> ClassifyArguments(const std::vector<std::string>& arguments)
{
    std::vector<SOutsideRequest> requests;
    for (const std::string& argument : arguments) {
        SOutsideRequest request = ClassifyArgument(argument);
        if (request.kind != EOutsideRequest::kNothing) requests.push_back(std::move(request));
    }
    return requests;
}

std::optional<std::string> ReadLocationFileURL(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxLocationFileBytes)
        return std::nullopt;
    bool webloc = EndsWithNoCase(path, ".webloc");
    if (!webloc && !EndsWithNoCase(path, ".desktop")) return std::nullopt;
    std::string bytes;
    if (ReadWholeFile(CFileRef(path), bytes).Failed()) return std::nullopt;
    return webloc ? WeblocURL(bytes) : DesktopLinkURL(bytes);
}
