// What a crawl shows outside its window: the progress tile (the
// application's icon) and the picture of the progress mail. Both are drawn
// above the engine, which has no graphics library, so whoever starts a crawl
// hands them in. An empty function shows nothing: a crawl without a desktop
// draws no tile, and its progress mails carry no picture.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/mail/progress_mail.h"

struct CCrawlProgressOutlets {
    // The crawl moved on: level, index of the URL on the level, level size.
    std::function<void(std::int32_t number, std::int32_t index, std::int32_t count)> drawTile;
    // The crawl ended, however it ended: the plain application icon again.
    std::function<void()> restoreTile;
    ProgressImageMaker makeImage;
};
