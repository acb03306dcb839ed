// The crawl's own access to its mirror: saving a fetched file into it and
// looking a file up, fast enough for thousands of files.
//
// The naming and the safety rules are the mirror's (foundation/mirror): every
// folder level goes through MirrorNameFromSegment and the file name through
// SafeMirrorName, levels are opened one by one with O_NOFOLLOW below the
// download folder, so a symbolic link anywhere in the mirror is an error
// (never followed) and nothing is written outside it. The opened folders are
// kept open for the crawl, so each folder is walked once.
//
// A file appears under its name only once it is whole: the body and the
// labels go to a new file beside it, which then takes the name
// (foundation/files/file_replacement.h). A crawl killed mid-save, a full
// disk or an aborted transfer leave the old file or none, so a later crawl
// never takes a cut-off file for a saved one; temporary files a killed
// writer left are never found and are removed when their folder is next
// written. A spilled body streams from its spill file, never whole in
// memory. Files are not flushed to disk (a mirror can be fetched again).
// Labels are the URL record's: the modification date, the URL as its
// comment, the URL without credentials as its origin, and the type and
// creator codes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/html/text_hash.h"
#include "foundation/files/dynamic_buffer.h"
#include "foundation/files/file_ref.h"

struct CMirrorFileLabels {
    std::uint32_t type = 0;
    std::uint32_t creator = 0;
    std::string url;
    std::int64_t modificationSeconds = 0;  // 0: leave the date
};

class CMirrorWriter {
public:
    explicit CMirrorWriter(std::string downloadFolder);
    ~CMirrorWriter();
    CMirrorWriter(const CMirrorWriter&) = delete;
    CMirrorWriter& operator=(const CMirrorWriter&) = delete;

    // Writes the file `fileName` (percent-decoded; empty: "Index.html") in the
    // folder of `segments`, making the folders. An existing plain file is
    // rewritten when `replace`, else kept and reported as kStatusDuplicateName
    // (-EEXIST). 0 or a negative errno value; `file` names the file in both
    // of these cases. Labels that the file system cannot keep are skipped.
    int Write(std::span<const std::string> segments, std::string_view fileName, bool replace,
              std::string_view bytes, const CMirrorFileLabels& labels, CFileRef& file);
    int Write(std::span<const std::string> segments, std::string_view fileName, bool replace,
              const CLDynamicBuffer& body, const CMirrorFileLabels& labels, CFileRef& file);

    // True, with `file` naming it, when a plain file stands at the place.
    // Nothing is made.
    bool Find(std::span<const std::string> segments, std::string_view fileName, CFileRef& file);

    const std::string& DownloadFolder() const { return mRootPath; }

private:
    // The folder's descriptor (kept open), or a negative status. With
    // `create`, missing levels are made; `path` receives the folder's path.
    int OpenFolder(std::span<const std::string> segments, bool create, std::string& path);
    void ForgetFolders();
    // Writes the file with `writeBody` (0 or a negative errno value).
    template <class WriteBody>
    int WriteFile(std::span<const std::string> segments, std::string_view fileName, bool replace,
                  WriteBody&& writeBody, const CMirrorFileLabels& labels, CFileRef& file);

    std::string mRootPath;
    int mRoot = -1;
    // Relative folder path (safe names joined by '/') -> open descriptor.
    TextMap<int> mFolders;
    // Folders already cleared of temporary files by this writer.
    TextSet mCleared;
};
