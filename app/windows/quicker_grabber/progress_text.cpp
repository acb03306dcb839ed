#include "app/windows/quicker_grabber/progress_text.h"

#include <utility>

namespace {

// `amount` with its unit: "N KB" above 999, else "N <small>".
std::string Amount(std::int64_t amount, const char* small)
{
    if (amount > 999) return std::to_string(amount / 1000) + " KB";
    return std::to_string(amount) + " " + small;
}

}  // namespace

std::string ProgressText(std::int64_t bytes, std::int64_t size, std::int64_t rate)
{
    if (bytes < 0) return "Ooops, an error occurred.";
    std::string text = "(";
    if (size != 0) {
        const float share = static_cast<float>(bytes) / static_cast<float>(size) * 100.0f;
        text += std::to_string(static_cast<std::int64_t>(share)) + "%, ";
    }
    text += Amount(bytes, "bytes");
    if (rate < 1) return text + ")";
    return text + ", " + Amount(rate, "bytes") + "/sec)";
}

bool CLatestText::Post(std::string text)
{
    constexpr std::chrono::milliseconds kWakeInterval{200};
    const auto now = std::chrono::steady_clock::now();
    const std::lock_guard<std::mutex> lock(mMutex);
    mText = std::move(text);
    if (now - mLastWake < kWakeInterval) return false;
    mLastWake = now;
    return true;
}

std::optional<std::string> CLatestText::Take()
{
    const std::lock_guard<std::mutex> lock(mMutex);
    std::optional<std::string> text = std::move(mText);
    mText.reset();
    return text;
}
