// What a crawl started from a window shows beyond it: its progress in the
// window icon (and whatever the tile hook adds, such as the launcher), the
// plain icon again when it ends, and the picture of its progress mails.
#pragma once

#include "engine/crawl/crawl_collaborators.h"
#include "engine/crawl/crawl_progress_outlets.h"

CCrawlProgressOutlets DesktopProgressOutlets();

// The collaborators of a crawl a window starts: the program's own, with the
// desktop's progress outlets and what the start check learned.
CCrawlCollaborators DesktopCrawlCollaborators(CStartAnswer startAnswer);
