// One folder's entries read at once, so that items written into the folder
// while its entries are handled (a file replaced through a temporary name)
// are neither seen twice nor seen half-made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/errors/status.h"

struct CFolderEntry {
    std::string name;
    std::uint64_t nodeID = 0;
    bool isFolder = false;
    bool isSymbolicLink = false;
};

// Every entry of the open folder but "." and "..", in byte order of their
// names. The kind of each entry is its own, never a link target's; an entry
// that vanishes while being read is left out.
CStatus ReadFolderEntries(int folderFd, std::vector<CFolderEntry>& entries);
