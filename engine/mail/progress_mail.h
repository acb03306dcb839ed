// The crawl's notification mails: the periodic progress mail with its
// picture, and the completion mail. The picture is drawn above the engine
// (app/progress) and handed in as a function, so the engine needs no
// graphics library.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/mail/mail_body.h"

// JPEG bytes of the progress picture for (number shown, index, count);
// empty when it cannot be made.
using ProgressImageMaker = std::function<std::string(std::int32_t number, std::int32_t index, std::int32_t count)>;

// Seconds between progress mails for a "Mail Period" in minutes; 0 means
// no periodic mail (a period of 0 or less). Never wraps, however long.
[[nodiscard]] std::int64_t ProgressMailIntervalSeconds(std::int32_t periodMinutes);

// index / count x 100, truncated toward zero and kept within 0 to 100; 0
// when count is 0 or less.
[[nodiscard]] std::int32_t ProgressPercent(std::int32_t index, std::int32_t count);

// To `recipient`, subject "Tidewell: Level <level>, <P>% complete", text
// "Crawling "<start URL>". Elapsed time: <elapsed>" (plain text: a URL is
// not HTML), and the picture for (level, index, count) when `makeImage` is
// set and gives one.
CMailBody MakeProgressMail(std::string_view recipient, std::int32_t level, std::int32_t index, std::int32_t count,
                           std::string_view startURL, std::string_view elapsedText,
                           const ProgressImageMaker& makeImage);

// To `recipient`, subject "Tidewell: download complete.", text "Crawl of
// "<start URL>" completed. Elapsed time: <elapsed>".
CMailBody MakeCompletionMail(std::string_view recipient, std::string_view startURL, std::string_view elapsedText);
