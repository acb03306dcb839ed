// What the crawl asks of the application rather than of its window: the
// progress tile (the application's icon) and the progress picture of the
// progress mail. Both are drawn above the engine, which has no graphics
// library: the application installs them at start-up; without them the
// tile is not drawn and progress mails carry no picture.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/mail/progress_mail.h"

struct CProgressTileHooks {
    std::function<void(std::int32_t number, std::int32_t index, std::int32_t count)> draw;
    std::function<void()> restore;
};

void SetProgressTileHooks(CProgressTileHooks hooks);
void DrawProgressTile(std::int32_t number, std::int32_t index, std::int32_t count);
void RestoreProgressTile();

void SetProgressImageMaker(ProgressImageMaker maker);
const ProgressImageMaker& GetProgressImageMaker();
