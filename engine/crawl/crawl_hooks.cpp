#include "engine/crawl/crawl_hooks.h"

#include <utility>

namespace {

CProgressTileHooks& TileHooks()
{
    static CProgressTileHooks hooks;
    return hooks;
}

ProgressImageMaker& ImageMaker()
{
    static ProgressImageMaker maker;
    return maker;
}

}  // namespace

void SetProgressTileHooks(CProgressTileHooks hooks) { TileHooks() = std::move(hooks); }

void DrawProgressTile(std::int32_t number, std::int32_t index, std::int32_t count)
{
    if (TileHooks().draw) TileHooks().draw(number, index, count);
}

void RestoreProgressTile()
{
    if (TileHooks().restore) TileHooks().restore();
}

void SetProgressImageMaker(ProgressImageMaker maker) { ImageMaker() = std::move(maker); }

const ProgressImageMaker& GetProgressImageMaker() { return ImageMaker(); }
