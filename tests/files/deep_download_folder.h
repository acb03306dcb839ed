// A download folder deep inside a scratch folder, with decoys around it, for
// tests that hostile names and links never reach past the download folder.
#pragma once

#include <climits>
#include <cstdlib>
#include <string>

#include "tests/files/scratch_folder.h"

// Makes scratch/l1/l2/l3/download, deep enough that even a broken mapping of
// three ".." levels stays inside the scratch folder, and the decoys no URL
// may touch: "outside/evil.html" (content "outside"), and "evil.html" in the
// two levels above the download folder (content "beside"). Gives the download
// folder's path; false when anything could not be made.
inline bool MakeDeepDownloadFolder(const CScratchFolder& scratch, std::string& download)
{
    for (const char* folder : {"l1", "l1/l2", "l1/l2/l3", "l1/l2/l3/download", "outside"})
        if (!MakeFolder(scratch.At(folder))) return false;
    download = scratch.At("l1/l2/l3/download");
    return WriteTextFile(scratch.At("outside/evil.html"), "outside") &&
           WriteTextFile(scratch.At("l1/l2/evil.html"), "beside") &&
           WriteTextFile(scratch.At("l1/l2/l3/evil.html"), "beside");
}

// True when `path`, its links resolved, really lies below `folder`.
inline bool LiesBelow(const std::string& path, const std::string& folder)
{
    char real[PATH_MAX];
    char base[PATH_MAX];
    if (!::realpath(path.c_str(), real) || !::realpath(folder.c_str(), base)) return false;
    return std::string(real).rfind(std::string(base) + "/", 0) == 0;
}
