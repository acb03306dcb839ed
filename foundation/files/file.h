// CFile: the static operations on file references that the crawl, the
// update and the windows share, and a small file object.
//
// References are paths (foundation/files/file_ref.h); a failure is a CStatus
// whose code follows foundation/errors/status_codes.h. Names are UTF-8 and
// name one item of a folder: an empty name, ".", ".." or a name holding '/'
// gives -EINVAL.
// Files are created with mode 0666 less the umask, folders 0777 less it.
//
// Platform labels live in extended attributes (platform/xattr): the comment,
// the origin URL and the type and creator codes; they act on the item itself,
// never through a symbolic link. Creation dates cannot be set on Linux.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "foundation/text/fixed_string.h"

class CFile {
public:
    explicit CFile(const CFileRef& file) : mFile(file) {}
    virtual ~CFile() = default;

    // The whole content, replaced or read at once (see below).
    CStatus WriteDataFork(const void* bytes, std::size_t count) const { return WriteDataFork(mFile, bytes, count); }
    CStatus ReadDataFork(std::vector<std::uint8_t>& bytes) const;

    // Existence and creation -------------------------------------------------
    // Success with `exists` telling whether the folder holds an item of that
    // name (a symbolic link counts, wherever it points), else the failure
    // (never taken for "missing"). `outRef` (optional) names the item unless
    // the lookup failed.
    static CStatus Exists(const CFileRef& parent, const char* name, bool& exists, CFileRef* outRef);
    // Success when a folder of that name exists or was made; -ENOTDIR when a
    // file has the name.
    static CStatus CreateFolderIfMissing(const CFileRef& parent, const char* name, CFileRef& outRef);
    // Creates an empty file. With `unique` set and the name taken, a new name
    // (MakeUniqueFileName) is made and written back to `name`. Success when
    // the file was created or a plain file of the name already exists (left
    // unchanged); -EISDIR when a folder has the name.
    static CStatus CreateFile(const CFileRef& parent, CFixedString255& name, CFileRef& outRef, bool unique);
    // CreateFile without unique naming, then the type and creator codes are
    // set; a failure to set them is not reported (they are labels only).
    static CStatus CreateTypedFile(const CFileRef& parent, const char* name, std::uint32_t creator, std::uint32_t type,
                                   CFileRef& outRef);
    // Creates the file at `path` when missing; success when created or a
    // plain file is already there; -ENOENT when the parent folder is missing.
    static CStatus CreateFromPath(const char* path, CFileRef& outRef);
    // CreateFromPath, then the whole content; the failure of either step.
    static CStatus WriteNewFile(const char* path, const void* bytes, std::size_t count);
    // Replaces the file's whole content (WriteWholeFile): no old tail stays.
    static CStatus WriteDataFork(const CFileRef& file, const void* bytes, std::size_t count);
    // Renames the item inside its folder; -EEXIST when the new name is taken
    // (nothing is replaced). On success `file` names the item again.
    static CStatus Rename(CFileRef& file, const char* name);

    // Names and paths ------------------------------------------------------------
    // The folder holding the item (lexically, from an absolute path): false
    // for "/" and for an empty reference, which have no parent.
    [[nodiscard]] static bool ParentOfRef(const CFileRef& file, CFileRef& parent);
    // The absolute path; -ENAMETOOLONG when it passes 255 bytes.
    static CStatus PathFromRef(const CFileRef& file, CFixedString255& path);
    static CStatus GetName(const CFileRef& file, CFixedString255& name);

    // Catalog information (the item itself, not a link's target) ---------------
    // True when the item exists and is not a folder.
    [[nodiscard]] static bool IsFile(const CFileRef& file);
    // The byte size of a file (0 for a folder); size 0 on error.
    static CStatus GetTotalSize(const CFileRef& file, std::uint64_t& size);
    // Last content modification in seconds since 1970; 0 on error.
    static CStatus GetModificationSeconds(const CFileRef& file, std::int64_t& seconds);
    // Sets the modification time (seconds since 1970). Linux keeps no
    // settable creation date, so `creationSeconds` is not stored.
    static CStatus SetDates(const CFileRef& file, std::int64_t modificationSeconds, std::int64_t creationSeconds);

    // Labels ---------------------------------------------------------------------
    static CStatus SetFileType(const CFileRef& file, std::uint32_t type);
    static CStatus SetFileCreator(const CFileRef& file, std::uint32_t creator);
    static CStatus SetFinderComment(const CFileRef& file, const char* comment);
    static CStatus SetOriginURL(const CFileRef& file, const char* url);
    // -ENODATA when the item has no comment; an empty comment gives success
    // and leaves `comment` unchanged; a comment longer than the fixed string
    // gives -ERANGE and leaves it unchanged too.
    static CStatus GetFinderComment(const CFileRef& file, CFixedString255& comment);
    static CStatus GetFinderComment(const CFileRef& file, std::string& comment);

private:
    CFileRef mFile;
};
