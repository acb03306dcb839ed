// The preference store: one XML property list per scope, every value a text,
// an array of texts or a dictionary of texts.
//
//   current user:  $XDG_CONFIG_HOME/tidewell/preferences.plist (mode 0600)
//   any user:      $TIDEWELL_SYSTEM_CONFIG/preferences.plist, by default
//                  /etc/xdg/tidewell/preferences.plist (mode 0644)
//
// Switches are stored as "true" or "false" and numbers as decimal text; a
// missing key means the reader's default. Every change rewrites the file
// whole (temporary file, fsync, rename). A file that does not parse is never
// overwritten: the next change first renames it to
// "preferences.plist.unreadable-<UTC time>" and starts afresh. Reads are
// cached and re-read when the file changes on disk. Safe to call from any
// thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/plist/plist_value.h"

inline constexpr const char* kPreferencesFileName = "preferences.plist";
inline constexpr const char* kSystemPreferencesVariable = "TIDEWELL_SYSTEM_CONFIG";
// The any-user list's folder is this one's "tidewell" unless the variable
// names another.
inline constexpr const char* kSystemConfigFolder = "/etc/xdg";

// With `anyUser`, stores the value for every user of this computer; when that
// cannot be written (no rights to the system folder, for instance), and always
// without the flag, stores it for the current user. False when the value was
// not stored: a null or non-UTF-8 key or value, or a failed write.
[[nodiscard]] bool SetPreferenceString(const char* value, const char* key, bool anyUser = false);

// The text stored under `key`; nothing when the key is missing or holds no
// text. With `anyUser`, the any-user value comes first and the current
// user's is the fallback. Texts that are not UTF-8 are read as MacRoman.
[[nodiscard]] std::optional<std::string> GetPreferenceString(const char* key, bool anyUser = false);

// Structured values: a text, an array of texts or a dictionary of texts.
// Other kinds are refused by the setter.
[[nodiscard]] bool SetPreferenceValue(const char* key, const PlistValue& value, bool anyUser = false);
[[nodiscard]] std::optional<PlistValue> GetPreferenceValue(const char* key, bool anyUser = false);

// An array of texts; nothing when the key is missing or holds no array (its
// items that are not texts are skipped).
[[nodiscard]] bool SetPreferenceStrings(const char* key, const std::vector<std::string>& texts);
[[nodiscard]] std::optional<std::vector<std::string>> GetPreferenceStrings(const char* key);

// Removes the current user's value. True when the key is gone afterwards.
[[nodiscard]] bool RemovePreference(const char* key);
[[nodiscard]] bool HasPreference(const char* key);
