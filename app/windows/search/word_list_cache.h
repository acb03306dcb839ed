// The word lists of earlier searches, kept in the user's cache folder so that
// a search of files that have not changed runs no tool at all.
//
// An entry belongs to one file by its identity (device and inode, so a
// renamed or moved file keeps its list) and is good only while the file has
// the size and modification time it had when it was listed, and only for
// the same build of the tool (another may list other words). Each entry is
// an XML property list that names its format, the tool and the identity it
// was made for; an entry that does not parse, names another format, tool or
// file, or is not a plain file of this user, is ignored (and replaced at the
// next store).
// Entries are written through a temporary file and a rename, so a reader
// never sees half of one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/plist/plist_value.h"

struct SFileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;

    friend bool operator==(const SFileIdentity&, const SFileIdentity&) = default;
};

// The identity of the item itself (a link is not followed); false when it
// cannot be read.
bool ReadFileIdentity(const std::string& path, SFileIdentity& identity, bool* isRegularFile = nullptr);

class CWordListCache {
public:
    // Entries live in `folder`, made (private to the user) at the first
    // store; `lister` names the tool that lists the words.
    CWordListCache(std::string folder, std::string lister);

    // $XDG_CACHE_HOME/tidewell/word-lists (default ~/.cache/...).
    static std::string DefaultFolder();

    const std::string& Folder() const { return mFolder; }
    // The entry's file for a file of that identity, whatever it holds.
    std::string EntryPath(const SFileIdentity& identity) const;

    // The words kept for exactly this identity; false when there are none.
    bool Find(const SFileIdentity& identity, PlistValue& words) const;
    // Keeps the words: 0, or a negative errno value (the search goes on
    // without the entry).
    int Store(const SFileIdentity& identity, const PlistValue& words) const;

private:
    std::string mFolder;
    std::string mLister;
};
