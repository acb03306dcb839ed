// CCrawlMirror: the crawl's mirror below the configuration's download
// folder: the naming rule of its files, where a URL's file lies (as a path
// from the mirror's root, written for links), and the writer that saves and
// finds files in it, made again when the download folder changes.
#pragma once

#include <memory>
#include <string>

#include "engine/html/mirror_links.h"

class CConfiguration;
class CFileRef;
class CMirrorWriter;
class CURL;

class CCrawlMirror {
public:
    // `configuration` is the crawl's own pointer, read at each call.
    CCrawlMirror(CConfiguration* const& configuration, bool flatten);
    ~CCrawlMirror();
    CCrawlMirror(const CCrawlMirror&) = delete;
    CCrawlMirror& operator=(const CCrawlMirror&) = delete;

    CMirrorNaming Naming() const;
    // A dynamic URL (or any PHP page, when asked) that remapping gives a
    // generated name.
    [[nodiscard]] bool IsRemappedDynamic(const CURL& url) const;
    // The URL's file under `fileName` (empty: the URL's own), as a path from
    // the mirror's root.
    std::string ExpectedLocalPath(const CURL& url, const std::string& fileName) const;
    // The saved file's path from the mirror's root, each level written for a
    // link; empty for a file outside the mirror.
    std::string PathFromRoot(const CFileRef& file) const;
    // The URL's saved file under `fileName` (empty: the URL's own), when a
    // file of that URL stands there.
    [[nodiscard]] bool Find(const CURL& url, const std::string& fileName, CFileRef& file);
    CMirrorWriter& Writer();
    // Returns once everything saved so far is on disk with all its labels.
    void Settle();

private:
    CConfiguration* const& mConfiguration;
    const bool mFlatten;
    std::unique_ptr<CMirrorWriter> mWriter;
};
