#include "foundation/settings/preference_accessors.h"

#include <limits>
#include <string>

#include "foundation/settings/preference_store.h"
#include "foundation/text/text_encodings.h"

bool IsPreferenceTrue(const char* key)
{
    std::optional<std::string> value = GetPreferenceString(key);
    return value && *value == "true";
}

bool IsPreferenceNotFalse(const char* key)
{
    std::optional<std::string> value = GetPreferenceString(key);
    return !value || *value != "false";
}

bool SetSwitchPreference(const char* key, bool on)
{
    return SetPreferenceString(on ? "true" : "false", key);
}

std::int32_t ReadDecimalPrefix(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < text.size() && IsAsciiDigit(static_cast<unsigned char>(text[i])); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> GetDecimalPreference(const char* key)
{
    std::optional<std::string> value = GetPreferenceString(key);
    if (!value || value->empty()) return std::nullopt;
    return ReadDecimalPrefix(*value);
}

bool SetDecimalPreference(const char* key, std::int32_t value)
{
    char digits[16];
    FormatDecimal(digits, sizeof digits, value);
    return SetPreferenceString(digits, key);
}

bool ShouldCheckFileModificationDates() { return IsPreferenceTrue("Check File Modification Dates"); }

bool ShouldStayInFolder() { return IsPreferenceTrue("Stay In Folder"); }

bool GetPreviewSettings(std::int32_t* previewIn)
{
    if (previewIn != nullptr) {
        std::optional<std::string> where = GetPreferenceString("Preview In");
        *previewIn = where ? ReadDecimalPrefix(*where) : kDefaultPreviewIn;
    }
    return IsPreferenceTrue("Preview");
}

bool ShouldAutoRedirect() { return IsPreferenceTrue("AutoRedirect"); }

bool ShouldGenerateSitemap() { return IsPreferenceTrue("GenerateSitemap"); }

bool ShouldRelinkAndRemapMedia() { return IsPreferenceTrue("Media Grabber Relink and Remap"); }

std::int32_t GetNetworkTimeout()
{
    std::int32_t seconds = GetDecimalPreference("Network Timeout").value_or(kDefaultNetworkTimeout);
    return seconds > 0 ? seconds : kDefaultNetworkTimeout;
}

std::int32_t GetMessageRetries()
{
    std::int32_t count = GetDecimalPreference("Message Retries").value_or(kDefaultMessageRetries);
    return count >= 0 ? count : kDefaultMessageRetries;
}

std::int32_t GetMessageRetriesInterval()
{
    std::int32_t seconds = GetDecimalPreference("Message Retries Interval").value_or(kDefaultMessageRetriesInterval);
    return seconds >= 0 ? seconds : kDefaultMessageRetriesInterval;
}
