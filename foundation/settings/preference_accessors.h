// Reading single preferences with their defaults, and the conventions every
// reader and writer shares: switches are "true" or "false", numbers decimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// True only for the exact stored text "true" (missing: false).
[[nodiscard]] bool IsPreferenceTrue(const char* key);
// False only for the exact stored text "false" (missing: true).
[[nodiscard]] bool IsPreferenceNotFalse(const char* key);
[[nodiscard]] bool SetSwitchPreference(const char* key, bool on);

// The leading decimal number of a text as the standard conversion reads it
// (blanks, a sign, digits); 0 when it does not start with one. Values beyond
// 32 bits stop at the nearest limit.
[[nodiscard]] std::int32_t ReadDecimalPrefix(std::string_view text);
// The stored number; nothing when the key is missing or its text is empty.
[[nodiscard]] std::optional<std::int32_t> GetDecimalPreference(const char* key);
[[nodiscard]] bool SetDecimalPreference(const char* key, std::int32_t value);

inline constexpr std::int32_t kDefaultNetworkTimeout = 60;
inline constexpr std::int32_t kDefaultMessageRetries = 0;
inline constexpr std::int32_t kDefaultMessageRetriesInterval = 10;
inline constexpr std::int32_t kDefaultPreviewIn = 1;

[[nodiscard]] bool ShouldCheckFileModificationDates();  // "Check File Modification Dates"
[[nodiscard]] bool ShouldStayInFolder();                // "Stay In Folder"
// "Preview" as a switch; "Preview In" into `previewIn` (when given), 1 when
// missing.
[[nodiscard]] bool GetPreviewSettings(std::int32_t* previewIn);
[[nodiscard]] bool ShouldAutoRedirect();         // "AutoRedirect"
[[nodiscard]] bool ShouldGenerateSitemap();      // "GenerateSitemap"
[[nodiscard]] bool ShouldRelinkAndRemapMedia();  // "Media Grabber Relink and Remap"

// "Network Timeout" in seconds: 60 when missing, empty, zero or negative (a
// transfer without a time-out would never give up).
[[nodiscard]] std::int32_t GetNetworkTimeout();
// "Message Retries": 0 when missing, empty or negative.
[[nodiscard]] std::int32_t GetMessageRetries();
// "Message Retries Interval" in seconds: 10 when missing, empty or negative.
[[nodiscard]] std::int32_t GetMessageRetriesInterval();
