#include "app/windows/search/word_list_tool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "engine/filters/script_process.h"
#include "platform/plist/plist_xml.h"
#include "platform/posix/errno_status.h"

namespace {

std::mutex gSettingsMutex;
std::string gToolPath;
std::atomic<long long> gTimeoutMilliseconds{60000};

std::string BesideThisProgram(const char* name)
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return name;
    return (self.parent_path() / name).string();
}

std::string MakePrivateFolder(const std::string& pattern)
{
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return ::mkdtemp(buffer.data()) != nullptr ? std::string(buffer.data()) : std::string();
}

void RemoveFolder(const std::string& folder)
{
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

std::optional<PlistValue> ReadList(const std::string& path)
{
    PlistValue list;
    if (ReadPlistFile(path, list) != 0 || !list.IsDictionary()) return std::nullopt;
    return list;
}

}  // namespace

std::string SearchKitIndexerPath()
{
    std::lock_guard lock(gSettingsMutex);
    return gToolPath.empty() ? BesideThisProgram("SearchKitIndexer") : gToolPath;
}

void SetSearchKitIndexerPath(std::string path)
{
    std::lock_guard lock(gSettingsMutex);
    gToolPath = std::move(path);
}

std::string SearchKitIndexerBuild()
{
    struct stat info {};
    if (::stat(SearchKitIndexerPath().c_str(), &info) != 0) return "";
    return std::to_string(info.st_size) + "-" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

std::chrono::milliseconds WordListTimeout() { return std::chrono::milliseconds(gTimeoutMilliseconds.load()); }

void SetWordListTimeout(std::chrono::milliseconds timeout) { gTimeoutMilliseconds = timeout.count(); }

std::string WordListToolRunFailure(const std::string& tool, int status)
{
    return "The word-list tool could not be run: " + tool + " (" + std::strerror(-status) + ")";
}

CWordListTool::CWordListTool()
{
    const char* base = std::getenv("TMPDIR");
    mFolder = MakePrivateFolder(std::string(base != nullptr && *base == '/' ? base : "/tmp") + "/tidewell-search-XXXXXX");
    if (mFolder.empty()) mFolderStatus = ErrnoStatus();
}

CWordListTool::~CWordListTool() { RemoveFolder(mFolder); }

SWordLists CWordListTool::ListWords(const std::vector<std::string>& items,
                                    const std::function<bool(const std::vector<std::string>&)>& beforeRun) const
{
    SWordLists result;
    result.lists.resize(items.size());
    const std::string tool = SearchKitIndexerPath();
    // Without a folder of its own the tool has nowhere to leave its lists.
    if (mFolder.empty()) {
        if (!items.empty()) result.failure = WordListToolRunFailure(tool, mFolderStatus);
        return result;
    }
    std::vector<std::optional<PlistValue>>& lists = result.lists;
    std::size_t first = 0;
    while (first < items.size()) {
        const std::vector<std::string> batch(items.begin() + static_cast<std::ptrdiff_t>(first), items.end());
        if (beforeRun && !beforeRun(batch)) break;
        const std::string folder = MakePrivateFolder(mFolder + "/run-XXXXXX");
        if (folder.empty()) {
            result.failure = WordListToolRunFailure(tool, ErrnoStatus());
            break;
        }
        std::vector<std::string> argv{tool};
        argv.insert(argv.end(), batch.begin(), batch.end());
        int exitCode = -1;
        const int status = RunProgramWithArguments(argv, {"TMPDIR=" + folder}, "", WordListTimeout(), &exitCode);
        if (status != 0 && status != -ETIMEDOUT) {
            RemoveFolder(folder);
            result.failure = WordListToolRunFailure(tool, status);
            break;
        }
        const bool cameToItsEnd = status == 0 && (exitCode == 0 || exitCode == 1);
        std::size_t listed = 0;  // one past the last item with a list
        for (std::size_t k = 0; k < batch.size(); ++k) {
            const std::string name = batch.size() == 1 ? std::string(kWordListFileName)
                                                       : "index-1965-" + std::to_string(k + 1) + ".dat";
            lists[first + k] = ReadList(folder + "/" + name);
            if (lists[first + k]) listed = k + 1;
        }
        RemoveFolder(folder);
        // Alone, the tool lists an item it cannot read as empty: no words
        // of an unread file are ever taken.
        if (batch.size() == 1 && !(status == 0 && exitCode == 0)) lists[first].reset();
        if (cameToItsEnd) {
            result.tried = items.size();
            break;
        }
        // The run ended on the item after its last list: that one is given
        // up, those after it run again.
        first += listed + 1;
        result.tried = std::min(first, items.size());
    }
    return result;
}
