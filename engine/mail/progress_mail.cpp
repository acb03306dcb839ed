#include "engine/mail/progress_mail.h"

#include <string>

namespace {

constexpr const char* kPlainText = "text/plain";

}  // namespace

std::int64_t ProgressMailIntervalSeconds(std::int32_t periodMinutes)
{
    return periodMinutes <= 0 ? 0 : static_cast<std::int64_t>(periodMinutes) * 60;
}

std::int32_t ProgressPercent(std::int32_t index, std::int32_t count)
{
    if (count <= 0 || index <= 0) return 0;
    if (index >= count) return 100;
    return static_cast<std::int32_t>(static_cast<double>(index) / count * 100.0);
}

CMailBody MakeProgressMail(std::string_view recipient, std::int32_t level, std::int32_t index, std::int32_t count,
                           std::string_view startURL, std::string_view elapsedText,
                           const ProgressImageMaker& makeImage)
{
    CMailBody body;
    body.mRecipient.AssignView(recipient);
    body.mSubject.Assign("Tidewell: Level " + std::to_string(level) + ", " +
                         std::to_string(ProgressPercent(index, count)) + "% complete");
    body.mMessageText.Assign("Crawling \"" + std::string(startURL) + "\". Elapsed time: " + std::string(elapsedText));
    body.mContentType = kPlainText;
    if (makeImage) {
        const std::string jpeg = makeImage(level, index, count);
        if (!jpeg.empty()) body.AddImagePart(jpeg);
    }
    return body;
}

CMailBody MakeCompletionMail(std::string_view recipient, std::string_view startURL, std::string_view elapsedText)
{
    CMailBody body;
    body.mRecipient.AssignView(recipient);
    body.mSubject.Assign("Tidewell: download complete.");
    body.mMessageText.Assign("Crawl of \"" + std::string(startURL) + "\" completed. Elapsed time: " +
                             std::string(elapsedText));
    body.mContentType = kPlainText;
    return body;
}
