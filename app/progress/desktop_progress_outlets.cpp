#include "app/progress/desktop_progress_outlets.h"

#include <utility>

#include "app/progress/dock_tile.h"
#include "app/progress/progress_image.h"

CCrawlProgressOutlets DesktopProgressOutlets()
{
    return {&ShowCrawlProgressTile, &RestoreDockTile, &MakeProgressImage};
}

CCrawlCollaborators DesktopCrawlCollaborators(CStartAnswer startAnswer)
{
    return StandardCrawlCollaborators(DesktopProgressOutlets(), std::move(startAnswer));
}
