// The download folder a grab is about to fill: its last level is made when
// missing, and anything that cannot hold the mirror refuses the grab with
// its reason rather than letting every save fail.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "engine/config/configuration.h"
#include "engine/crawl/grab_start.h"
#include "tests/support/temp_dir.h"

namespace {

using testsupport::TempDir;

TEST(DownloadFolder, MadeWhenMissingRefusedWhenItCannotHoldTheMirror)
{
    TempDir scratch;
    scratch.MakeFolder("existing");
    scratch.Write("plain-file", "not a folder");
    const struct {
        const char* name;
        std::string localPath;
        int code;
        bool folderAfterwards;
    } cases[] = {
        {"missing last level is made", scratch.File("new"), 0, true},
        {"trailing slash names the same folder", scratch.File("slashed") + "/", 0, true},
        {"existing folder is kept", scratch.File("existing"), 0, true},
        {"a file of the folder's name", scratch.File("plain-file"), -ENOTDIR, false},
        {"missing parent", scratch.File("absent/child"), -ENOENT, false},
        {"no folder named", "", -EINVAL, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CConfiguration configuration;
        configuration.mGeneralOptions.localPath = c.localPath.c_str();
        const CStatus status = MakeDownloadFolder(configuration);
        EXPECT_EQ(status.Code(), c.code) << status.Text();
        EXPECT_EQ(status.Failed(), !status.Text().empty());
        struct stat info {};
        const bool isFolder = ::stat(c.localPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        EXPECT_EQ(isFolder, c.folderAfterwards);
    }
}

}  // namespace
