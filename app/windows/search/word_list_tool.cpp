#include "app/windows/search/word_list_tool.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

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

std::chrono::milliseconds WordListTimeout() { return std::chrono::milliseconds(gTimeoutMilliseconds.load()); }

void SetWordListTimeout(std::chrono::milliseconds timeout) { gTimeoutMilliseconds = timeout.count(); }

CWordListTool::CWordListTool()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base == '/' ? base : "/tmp") + "/tidewell-search-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) mFolder = buffer.data();
}

CWordListTool::~CWordListTool()
{
    if (mFolder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(mFolder, ignored);
}

int CWordListTool::ListWords(const std::string& itemPath, PlistValue& words) const
{
    words = PlistValue::MakeDictionary();
    if (mFolder.empty()) return -ENOENT;
    const std::string listPath = mFolder + "/" + kWordListFileName;
    if (::unlink(listPath.c_str()) != 0 && errno != ENOENT) return ErrnoStatus();
    int exitCode = -1;
    const int status = RunProgramWithArguments({SearchKitIndexerPath(), itemPath}, {"TMPDIR=" + mFolder}, "",
                                               WordListTimeout(), &exitCode);
    if (status != 0) return status;
    if (exitCode != 0) return exitCode;
    PlistValue list;
    const int read = ReadPlistFile(listPath, list);
    if (read != 0) return read;
    if (!list.IsDictionary()) return kPlistMalformed;
    words = std::move(list);
    return 0;
}
