// CCrawlSaving: the names a crawl gives its files and their saving into the
// mirror. Each URL's file name (its own, a generated one for a dynamic URL,
// one with the extension its Content-Type calls for) and place are decided
// once, claimed in the site index so that no two URLs share a file; the
// save itself writes through the mirror's writer (crawl_mirror.h), and the
// first file saved is announced and, when asked, gets an alias.
//
// It holds the mirror, the type extensions and the first file; what it
// reads of the crawl (configuration, site index, preferences, counters, user
// agent, start host) it is given by reference, read at each call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/crawl/crawl_mirror.h"
#include "engine/crawl/site_index.h"
#include "engine/html/text_hash.h"
#include "foundation/files/file_ref.h"
#include "foundation/errors/status.h"

class CConfiguration;
class CCrawlListener;
class CURL;
struct CCrawlCounters;
struct CCrawlPreferences;

class CCrawlSaving {
public:
    // Everything must outlive the saving; `configuration` is the crawl's own
    // pointer, and `userAgent` and `startHost` may change between calls.
    CCrawlSaving(CCrawlListener& listener, CConfiguration* const& configuration, bool flatten, CSiteIndex& index,
                 const CCrawlPreferences& preferences, CCrawlCounters& counters, const std::string& userAgent,
                 const std::string& startHost);
    CCrawlSaving(const CCrawlSaving&) = delete;
    CCrawlSaving& operator=(const CCrawlSaving&) = delete;

    CCrawlMirror& Mirror() { return mMirror; }
    const CCrawlMirror& Mirror() const { return mMirror; }

    // Naming ----------------------------------------------------------------------
    // The extension the file-name mappings give a Content-Type; empty for none.
    const std::string& TypeExtension(std::string_view contentType) const;
    // A new unique name, with the extension of the URL's response (a HEAD
    // asks the server, with setExtensionFromContentType, when the URL has
    // no response yet).
    std::string GeneratedName(const CURL& url);
    // The on-disk name a response gives its URL: for a name without an
    // extension, the extension its Content-Type maps to; for a page whose
    // name a browser would not open as one, with "always use extension" and
    // relinking, its name and the configured extension. Empty for the URL's
    // own name.
    std::string TypedFileName(const CURL& response) const;
    // Sets the entry's place in the mirror, claiming it: a place another URL
    // holds gives this one a distinct file name.
    void AssignLocalPath(CSiteIndex::Item& item, const CURL& url);

    // Saved files -----------------------------------------------------------------
    // The file the save would write for the URL (look-up only); false when
    // there is no download folder or no such file.
    [[nodiscard]] bool FindSavedFile(const CURL& url, CFileRef& file);
    // A folder's page and the folder's "index.html" are one document when
    // the server answers both with the same page: the one fetched second is
    // not saved again, `file` receives the saved one, which its links open.
    [[nodiscard]] bool FindSameFolderPage(const CURL& url, CFileRef& file);
    // Saves the URL's response as a file of the mirror or as a bookmark (the
    // configuration's save action), or why nothing was saved.
    CStatus SaveURL(CURL& url, CFileRef& outFile);
    // The alias of the first saved file, beside the mirror unless the
    // preferences name a folder for aliases.
    CStatus CreateAlias();
    // No file of this crawl is saved yet.
    [[nodiscard]] bool IsBeforeFirstSave() const { return mFirstURL; }
    void ExpectFirstSave() { mFirstURL = true; }

private:
    // The extension of a generated name for the URL's response (the one the
    // URL has, or, with setExtensionFromContentType, a HEAD's).
    std::string GeneratedExtension(const CURL& url, bool askServer);
    // The on-disk name the save uses in place of the URL's own; "" for the
    // URL's own rule; nothing for a dynamic URL that has no name yet (unless
    // `generate`, which gives it one).
    [[nodiscard]] std::optional<std::string> SaveFileName(const CURL& url, bool generate);
    // The folder twin (see FindSameFolderPage) that already has a place in
    // the mirror, or null.
    const CSiteIndex::Item* PlacedFolderTwin(const CURL& url) const;
    void ShowStatus(const std::string& text);
    void LogLine(const std::string& text);

    CCrawlListener& mListener;
    CConfiguration* const& mConfiguration;
    CSiteIndex& mSiteIndex;
    const CCrawlPreferences& mPreferences;
    CCrawlCounters& mCounters;
    const std::string& mUserAgent;
    const std::string& mStartHost;

    // The mirror below the configuration's download folder.
    CCrawlMirror mMirror;
    // MIME type -> file-name extension, from the file-name mappings.
    TextMap<std::string> mTypeExtensions;
    bool mFirstURL = true;
    CFileRef mFirstFile;
    std::optional<std::uint32_t> mBrowserCreator;
};
