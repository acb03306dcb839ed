#include "app/windows/search/word_list_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>

#include "foundation/settings/user_folders.h"
#include "platform/plist/plist_xml.h"
#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/plain_file.h"
#include "platform/posix/unique_fd.h"

namespace {

constexpr const char* kFormat = "Tidewell word list 1";
// A file's words take a few kilobytes; far larger entries are no entries of ours.
constexpr std::int64_t kMaxEntryBytes = 64LL * 1024 * 1024;

// Plist integers are signed: the unsigned numbers go in as their bits.
PlistValue Unsigned(std::uint64_t value) { return PlistValue::MakeInteger(static_cast<std::int64_t>(value)); }

bool HasInteger(const PlistValue& entry, const char* key, std::int64_t expected)
{
    const PlistValue* value = entry.Find(key);
    return value != nullptr && value->IsInteger() && value->Integer() == expected;
}

bool HasText(const PlistValue& entry, const char* key, std::string_view expected)
{
    const PlistValue* value = entry.Find(key);
    return value != nullptr && value->IsString() && value->Text() == expected;
}

// The entry's bytes when it is a plain file of this user, not a link.
bool ReadOwnEntry(const std::string& path, std::string& bytes)
{
    CUniqueFd fd;
    if (OpenPlainFile(path.c_str(), O_RDONLY | O_NOFOLLOW, 0, fd) != 0) return false;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || info.st_uid != ::geteuid() ||
        info.st_size > kMaxEntryBytes)
        return false;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadFileIdentity(const std::string& path, SFileIdentity& identity, bool* isRegularFile)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return false;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    if (isRegularFile != nullptr) *isRegularFile = S_ISREG(info.st_mode);
    return true;
}

CWordListCache::CWordListCache(std::string folder, std::string lister)
    : mFolder(std::move(folder)), mLister(std::move(lister))
{
}

std::string CWordListCache::DefaultFolder() { return CacheHomeFolder() + "/tidewell/word-lists"; }

std::string CWordListCache::EntryPath(const SFileIdentity& identity) const
{
    char name[64];
    std::snprintf(name, sizeof name, "/%" PRIx64 "-%" PRIx64 ".plist", identity.device, identity.inode);
    return mFolder + name;
}

bool CWordListCache::Find(const SFileIdentity& identity, PlistValue& words) const
{
    if (mFolder.empty()) return false;
    std::string bytes;
    PlistValue entry;
    if (!ReadOwnEntry(EntryPath(identity), bytes) || !ParsePlist(bytes, entry) || !entry.IsDictionary()) return false;
    if (!HasText(entry, "Format", kFormat) || !HasText(entry, "Lister", mLister) ||
        !HasInteger(entry, "Device", static_cast<std::int64_t>(identity.device)) ||
        !HasInteger(entry, "Inode", static_cast<std::int64_t>(identity.inode)) ||
        !HasInteger(entry, "Size", identity.size) || !HasInteger(entry, "Modified", identity.modifiedNanoseconds))
        return false;
    PlistValue* found = entry.Find("Words");
    if (found == nullptr || !found->IsDictionary()) return false;
    for (const PlistValue& count : found->Items())
        if (!count.IsInteger() || count.Integer() < 1) return false;
    words = std::move(*found);
    return true;
}

int CWordListCache::Store(const SFileIdentity& identity, const PlistValue& words) const
{
    if (mFolder.empty()) return -ENOENT;
    if (const CStatus made = MakeFolderChain(mFolder, 0700); made.Failed()) return made.Code();
    PlistValue entry = PlistValue::MakeDictionary();
    entry.Set("Format", PlistValue::MakeString(kFormat));
    entry.Set("Lister", PlistValue::MakeString(mLister));
    entry.Set("Device", Unsigned(identity.device));
    entry.Set("Inode", Unsigned(identity.inode));
    entry.Set("Size", PlistValue::MakeInteger(identity.size));
    entry.Set("Modified", PlistValue::MakeInteger(identity.modifiedNanoseconds));
    entry.Set("Words", words);
    const std::optional<std::string> xml = PlistToXml(entry);
    if (!xml) return kPlistMalformed;
    // Losing an entry in a crash costs one more run of the tool: no flush.
    AtomicWriteOptions options;
    options.mode = 0600;
    options.exactMode = true;
    options.syncFile = false;
    return WriteFileAtomically(EntryPath(identity), *xml, options);
}
