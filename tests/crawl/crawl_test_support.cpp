#include "tests/crawl/crawl_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "foundation/settings/preference_store.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/support/file_bytes.h"

namespace crawltest {

namespace fs = std::filesystem;

void CrawlEnvironment::SetUp()
{
    for (const char* folder : {"home", "config", "data", "cache", "tmp", "mirror", "home/Downloads"})
        mRoot.MakeFolder(folder);
    Override("HOME", mRoot.File("home"));
    Override("XDG_CONFIG_HOME", mRoot.File("config"));
    Override("XDG_DATA_HOME", mRoot.File("data"));
    Override("XDG_CACHE_HOME", mRoot.File("cache"));
    Override("XDG_RUNTIME_DIR", std::nullopt);
    Override("TIDEWELL_SYSTEM_CONFIG", mRoot.File("system"));
    Override("TMPDIR", mRoot.File("tmp"));
    // The crawl's own choices, not the desktop's: no alias beside the
    // download folder, no retries unless a test asks.
    SetPreference("Create Aliases", "false");
    ReloadSettings();
}

void CrawlEnvironment::TearDown()
{
    gAppSettings = mSavedSettings;
    mSettings.reset();
    for (auto it = mSavedVariables.rbegin(); it != mSavedVariables.rend(); ++it) {
        if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
        else ::unsetenv(it->first.c_str());
    }
}

void CrawlEnvironment::Override(const char* name, const std::optional<std::string>& value)
{
    const char* old = std::getenv(name);
    mSavedVariables.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
}

void CrawlEnvironment::SetPreference(const char* key, const char* value)
{
    ASSERT_TRUE(SetPreferenceString(value, key)) << key;
}

void CrawlEnvironment::ReloadSettings()
{
    if (mSettings == nullptr) mSavedSettings = gAppSettings;
    gAppSettings = nullptr;
    mSettings = std::make_unique<CAppSettings>();
    gAppSettings = mSettings.get();
}

CConfiguration CrawlEnvironment::MakeConfiguration() const
{
    CConfiguration configuration;
    configuration.mGeneralOptions.localPath = Mirror().c_str();
    configuration.mMiscOptions.logFolder = Mirror().c_str();
    configuration.mGeneralOptions.timeout = 5;
    return configuration;
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return CThreadScheduler::RunUntil(done, std::chrono::steady_clock::now() + limit);
}

CSiteIteratorThread* NewCrawlThread(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
                                    CCrawlCollaborators collaborators)
{
    return new CSiteIteratorThread(window, window.options, &configuration, CURL(url), std::move(collaborators));
}

bool RunGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
             std::chrono::seconds limit)
{
    return RunGrab(window, configuration, url, StandardCrawlCollaborators({}), limit);
}

bool RunGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
             CCrawlCollaborators collaborators, std::chrono::seconds limit)
{
    NewCrawlThread(window, configuration, url, std::move(collaborators))->Resume();
    return RunUntil([&window] { return window.Ended(); }, limit);
}

bool RunQuickGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
                  std::chrono::seconds limit)
{
    return RunGrab(window, configuration, url, limit);
}

bool RunQuickGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
                  CCrawlCollaborators collaborators, std::chrono::seconds limit)
{
    return RunGrab(window, configuration, url, std::move(collaborators), limit);
}

std::map<std::string, std::string> ReadTree(const std::string& folder)
{
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = testsupport::ReadFileBytes(entry.path().string());
    return files;
}

std::set<std::string> ListTree(const std::string& folder)
{
    std::set<std::string> items;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        items.insert(fs::relative(entry.path(), folder).string() + (entry.is_directory() ? "/" : ""));
    return items;
}

std::string FileText(const std::string& path) { return testsupport::ReadFileBytes(path); }

std::string Page(const std::string& title, const std::string& body)
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

MirrorLinks CheckMirrorLinks(const std::string& mirror)
{
    MirrorLinks result;
    static const std::regex kAttribute(R"re((?:href|src|background)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>"']+)))re",
                                       std::regex::icase);
    static const std::regex kScheme(R"(^[A-Za-z][A-Za-z0-9+.-]*:)");
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(mirror, error)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
        const std::string page = fs::relative(entry.path(), mirror).string();
        if (page.find('/') == std::string::npos) continue;  // reports beside the mirror
        ++result.pages;
        const std::string text = testsupport::ReadFileBytes(entry.path().string());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), kAttribute); it != std::sregex_iterator(); ++it) {
            std::string link = (*it)[1].matched ? (*it)[1].str() : (*it)[2].matched ? (*it)[2].str() : (*it)[3].str();
            if (link.empty() || link.front() == '#') continue;
            if (link.starts_with("//") || std::regex_search(link, kScheme)) {
                if (link.starts_with("//") || link.starts_with("http://") || link.starts_with("https://"))
                    result.absolute.push_back(page + ": " + link);
                continue;
            }
            const std::string path = URLDecode(link.substr(0, link.find_first_of("#?")));
            const fs::path target = (entry.path().parent_path() / path).lexically_normal();
            const std::string relative = fs::relative(target, mirror).string();
            if (!relative.starts_with("..") && fs::is_regular_file(target)) ++result.local;
            else result.broken.push_back(page + ": " + link);
        }
    }
    return result;
}

::testing::AssertionResult AllLinksLocal(const MirrorLinks& links)
{
    if (links.broken.empty() && links.absolute.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "broken " << ::testing::PrintToString(links.broken) << ", absolute "
                                         << ::testing::PrintToString(links.absolute);
}

}  // namespace crawltest
