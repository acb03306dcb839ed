#include "foundation/settings/preference_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>

#include "platform/posix/errno_status.h"
#include "foundation/settings/legacy_text.h"
#include "foundation/settings/user_folders.h"
#include "foundation/system/bundle_info.h"
#include "foundation/text/utf8_validity.h"
#include "platform/plist/plist_xml.h"

namespace {

enum class Scope { kUser, kAnyUser };

struct ScopeFile {
    std::string folder;
    std::string path;
    mode_t folderMode;
    mode_t fileMode;
};

ScopeFile FileOf(Scope scope)
{
    if (scope == Scope::kUser) {
        std::string folder = ConfigHomeFolder() + "/" + GetBundleIdentifier();
        // The user's list holds the mail account's details: private.
        return {folder, folder + "/" + kPreferencesFileName, 0700, 0600};
    }
    const char* custom = std::getenv(kSystemPreferencesVariable);
    std::string folder = std::string(kSystemConfigFolder) + "/" + GetBundleIdentifier();
    if (custom != nullptr && custom[0] == '/') folder = custom;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return {folder, folder + "/" + kPreferencesFileName, 0755, 0644};
}

// What was read from one file, and the identity of the file it came from, so
// that a later read can tell whether the file changed.
struct CachedFile {
    bool present = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    int status = 0;  // 0, kPlistMalformed or a negative errno
    PlistValue root = PlistValue::MakeDictionary();
};

std::mutex gStoreMutex;
std::map<std::string, CachedFile> gCache;

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

void RememberIdentity(CachedFile& entry, const struct stat& info)
{
    entry.present = true;
    entry.device = info.st_dev;
    entry.inode = info.st_ino;
    entry.size = info.st_size;
    entry.modified = info.st_mtim;
    entry.changed = info.st_ctim;
}

// The file's current contents, from the cache when the file is unchanged.
// status 0: `root` is the dictionary (empty for a missing file);
// kPlistMalformed: the file is there but is no dictionary list; another
// negative errno: the file could not be read.
CachedFile& Load(const std::string& path)
{
    CachedFile& entry = gCache[path];
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        int error = ErrnoStatus();
        entry = CachedFile();
        if (error != -ENOENT) entry.status = error;
        return entry;
    }
    if (entry.present && entry.device == info.st_dev && entry.inode == info.st_ino &&
        entry.size == info.st_size && SameTime(entry.modified, info.st_mtim) &&
        SameTime(entry.changed, info.st_ctim)) {
        return entry;
    }
    entry = CachedFile();
    PlistValue root;
    int status = ReadPlistFile(path, root);
    if (status == -ENOENT) return entry;
    RememberIdentity(entry, info);
    if (status == 0 && !root.IsDictionary()) status = kPlistMalformed;
    entry.status = status;
    if (status == 0) entry.root = std::move(root);
    return entry;
}

// Moves an unreadable list out of the way under a name of its own.
int KeepAside(const std::string& path)
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    struct tm parts {};
    ::gmtime_r(&now, &parts);
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
    std::string base = path + ".unreadable-" + stamp;
    for (int n = 0; n < 100; ++n) {
        std::string aside = n == 0 ? base : base + "-" + std::to_string(n);
        struct stat info {};
        if (::lstat(aside.c_str(), &info) == 0) continue;
        if (::rename(path.c_str(), aside.c_str()) == 0) return 0;
        return ErrnoStatus();
    }
    return -EEXIST;
}

// Where a new list is written: beside the file a symbolic link names (kept
// dotfiles often are links), so the link survives the rename.
std::string WritePathFor(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string target = resolved;
        std::free(resolved);
        return target;
    }
    // A link to a list not written yet: follow it one step.
    char target[4096];
    ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) return path;
    std::string next(target, static_cast<std::size_t>(length));
    if (next.front() == '/') return next;
    return path.substr(0, path.rfind('/') + 1) + next;
}

// Reads the scope's list, lets `change` edit it and writes it back whole.
bool Update(Scope scope, const std::function<void(PlistValue&)>& change)
{
    ScopeFile file = FileOf(scope);
    std::lock_guard<std::mutex> lock(gStoreMutex);
    CachedFile& entry = Load(file.path);
    PlistValue root = PlistValue::MakeDictionary();
    if (entry.status == kPlistMalformed) {
        if (KeepAside(file.path) != 0) return false;
    } else if (entry.status != 0) {
        return false;  // never replace a list that could not be read
    } else {
        root = entry.root;
    }
    change(root);
    if (MakeFolderChain(file.folder, file.folderMode).Failed()) return false;
    int status = WritePlistFile(WritePathFor(file.path), root, file.fileMode);
    CachedFile& fresh = gCache[file.path];
    fresh = CachedFile();
    if (status != 0) return false;
    struct stat info {};
    if (::stat(file.path.c_str(), &info) == 0) {
        RememberIdentity(fresh, info);
        fresh.root = std::move(root);
    }
    return true;
}

std::optional<PlistValue> Lookup(Scope scope, const char* key)
{
    ScopeFile file = FileOf(scope);
    std::lock_guard<std::mutex> lock(gStoreMutex);
    const CachedFile& entry = Load(file.path);
    if (entry.status != 0) return std::nullopt;
    const PlistValue* value = entry.root.Find(key);
    if (value == nullptr) return std::nullopt;
    return *value;
}

bool IsStorableText(const std::string& text) { return text.find('\0') == std::string::npos && IsValidUtf8(text); }

bool IsStorable(const PlistValue& value)
{
    switch (value.GetKind()) {
    case PlistValue::Kind::kString:
        return IsStorableText(value.Text());
    case PlistValue::Kind::kArray:
    case PlistValue::Kind::kDictionary:
        for (std::size_t i = 0; i < value.Count(); ++i) {
            if (!value.ItemAt(i).IsString() || !IsStorableText(value.ItemAt(i).Text())) return false;
            if (value.IsDictionary() && !IsStorableText(value.KeyAt(i))) return false;
        }
        return true;
    default:
        return false;
    }
}

// Texts of older releases may be MacRoman: hand out UTF-8 only.
PlistValue ToUtf8(const PlistValue& value)
{
    switch (value.GetKind()) {
    case PlistValue::Kind::kString:
        return PlistValue::MakeString(LegacyTextToUtf8(value.Text()));
    case PlistValue::Kind::kArray: {
        PlistValue array = PlistValue::MakeArray();
        for (const PlistValue& item : value.Items()) array.Append(ToUtf8(item));
        return array;
    }
    case PlistValue::Kind::kDictionary: {
        PlistValue dictionary = PlistValue::MakeDictionary();
        for (std::size_t i = 0; i < value.Count(); ++i)
            dictionary.Set(LegacyTextToUtf8(value.KeyAt(i)), ToUtf8(value.ItemAt(i)));
        return dictionary;
    }
    default:
        return value;
    }
}

bool IsUsableKey(const char* key) { return key != nullptr && key[0] != '\0' && IsValidUtf8(key); }

}  // namespace

bool SetPreferenceValue(const char* key, const PlistValue& value, bool anyUser)
{
    if (!IsUsableKey(key) || !IsStorable(value)) return false;
    auto store = [&](PlistValue& root) { root.Set(key, value); };
    if (anyUser && Update(Scope::kAnyUser, store)) return true;
    return Update(Scope::kUser, store);
}

std::optional<PlistValue> GetPreferenceValue(const char* key, bool anyUser)
{
    if (key == nullptr) return std::nullopt;
    std::optional<PlistValue> value;
    if (anyUser) value = Lookup(Scope::kAnyUser, key);
    if (!value) value = Lookup(Scope::kUser, key);
    if (!value) return std::nullopt;
    return ToUtf8(*value);
}

bool SetPreferenceString(const char* value, const char* key, bool anyUser)
{
    if (value == nullptr) return false;
    return SetPreferenceValue(key, PlistValue::MakeString(value), anyUser);
}

std::optional<std::string> GetPreferenceString(const char* key, bool anyUser)
{
    std::optional<PlistValue> value = GetPreferenceValue(key, anyUser);
    if (!value || !value->IsString()) return std::nullopt;
    return value->Text();
}

bool SetPreferenceStrings(const char* key, const std::vector<std::string>& texts)
{
    return SetPreferenceValue(key, PlistValue::MakeStringArray(texts));
}

std::optional<std::vector<std::string>> GetPreferenceStrings(const char* key)
{
    std::optional<PlistValue> value = GetPreferenceValue(key);
    if (!value || !value->IsArray()) return std::nullopt;
    return value->StringItems();
}

bool RemovePreference(const char* key)
{
    if (key == nullptr) return false;
    if (!HasPreference(key)) return true;
    return Update(Scope::kUser, [&](PlistValue& root) { root.Remove(key); });
}

bool HasPreference(const char* key)
{
    return key != nullptr && Lookup(Scope::kUser, key).has_value();
}
