// The ways a grab fails, as one table that the crawl-driver test and both
// grabber windows' tests run: a start URL that gives nothing (a closed
// port, a host that does not exist, a missing page), a scheme that cannot
// be grabbed, and a download folder that cannot be written or is a file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/unusable_places.h"

namespace crawltest {

enum class EFailurePlace { kSite, kClosedPort, kUnknownHost, kBadScheme };
enum class EFailureFolder { kUsable, kUnwritable, kAFile };

struct SFailureCase {
    const char* name;
    EFailurePlace place;
    const char* path;  // on the site
    EFailureFolder folder;
    // What the window and the log say, from its start; "{url}" is the start
    // URL, "{folder}" the download folder.
    const char* told;
    bool crawled;  // the grab began (else it was refused)

    // The start URL; `siteURL` makes the site's URL of a path.
    template <typename SiteURL>
    std::string StartURL(const SiteURL& siteURL) const
    {
        const std::string port = std::to_string(testsupport::ClosedLoopbackPort());
        switch (place) {
        case EFailurePlace::kClosedPort: return "http://127.0.0.1:" + port + path;
        case EFailurePlace::kUnknownHost: return std::string("http://no-such-host.invalid") + path;
        case EFailurePlace::kBadScheme: return "htp://127.0.0.1:" + port + path;
        case EFailurePlace::kSite: break;
        }
        return siteURL(path);
    }

    // Makes the download folder as the case wants it: an empty folder, a
    // file, or a folder `unwritable` keeps unwritable; false when no folder
    // can be made unwritable here.
    bool PrepareFolder(const std::string& folder, std::optional<testsupport::UnwritableFolder>& unwritable) const
    {
        std::filesystem::remove_all(folder);
        if (this->folder == EFailureFolder::kAFile) {
            testsupport::WriteFileBytes(folder, "not a folder");
            return true;
        }
        std::filesystem::create_directories(folder);
        return this->folder != EFailureFolder::kUnwritable || unwritable.emplace(folder).IsReady();
    }

    std::string Told(const std::string& url, const std::string& folder) const
    {
        std::string text = told;
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"{url}", url}, {"{folder}", folder}})
            if (const std::size_t at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    }
};

// The site the cases grab: a start page linking to two more.
inline constexpr const char* kFailureSiteLinks = "<a href=\"/a.html\">a</a> <a href=\"/b.html\">b</a>";

inline std::vector<SFailureCase> FailureCases()
{
    static constexpr const char* kFolderFailure =
        "The download folder for the selected configuration could not be found or created. Please create it "
        "manually.";
    return {
        {"closed port", EFailurePlace::kClosedPort, "/", EFailureFolder::kUsable,
         "The starting URL could not be grabbed: {url} (connection refused)", true},
        {"unknown host", EFailurePlace::kUnknownHost, "/", EFailureFolder::kUsable,
         "The starting URL could not be grabbed: {url} (unknown host)", true},
        {"start page missing", EFailurePlace::kSite, "/gone.html", EFailureFolder::kUsable,
         "The starting URL could not be grabbed: {url} (the server answered 404 Not Found)", true},
        {"scheme mistyped", EFailurePlace::kBadScheme, "/", EFailureFolder::kUsable,
         "The starting URL is not an http, https or ftp URL: {url}", false},
        {"download folder unwritable", EFailurePlace::kSite, "/", EFailureFolder::kUnwritable,
         "The download folder for the selected configuration could not be found or created. Please create it "
         "manually. ({folder}: ",
         true},
        {"download folder is a file", EFailurePlace::kSite, "/", EFailureFolder::kAFile, kFolderFailure, false},
    };
}

}  // namespace crawltest
