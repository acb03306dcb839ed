// A real Sphinx documentation site (the one installed with python3-aiosmtpd),
// served by nginx and mirrored by the crawl, must come out of the mirror as
// it went in: files byte for byte, pages with the same text, every on-site
// link opening a saved file from disk, and no more requests than a plain
// recursive fetch needs. The site is crawled once for all the checks.
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/text/text_encodings.h"
#include "platform/xattr/item_attributes.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/file_bytes.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kInstalledSite = "/usr/share/doc/python3-aiosmtpd/html";
constexpr const char* kWget = "/usr/bin/wget";
constexpr double kRequestRatioBar = 1.2;
constexpr int kRequestMargin = 5;  // without wget: files on the site plus this

// One request line of nginx's access log.
struct Request {
    std::string method;
    std::string path;  // decoded, query cut
    int status = 0;
};

std::vector<Request> ParseAccessLog(const std::string& log)
{
    static const std::regex kLine(R"re("(GET|HEAD) ([^ "]+) HTTP/[0-9.]+" ([0-9]{3}) )re");
    std::vector<Request> requests;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), kLine); it != std::sregex_iterator(); ++it) {
        const std::string target = (*it)[2].str();
        requests.push_back({(*it)[1].str(), URLDecode(target.substr(0, target.find('?'))), std::stoi((*it)[3].str())});
    }
    return requests;
}

// The links a page or stylesheet writes: href, src and background
// attributes, and url(...) in styles.
std::vector<std::string> LinksIn(const std::string& text)
{
    static const std::regex kAttribute(R"re((?:href|src|background)\s*=\s*(?:"([^"]*)"|'([^']*)'))re",
                                       std::regex::icase);
    static const std::regex kCssUrl(R"re(url\(\s*['"]?([^)'"]*)['"]?\s*\))re", std::regex::icase);
    std::vector<std::string> links;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kAttribute); it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kCssUrl); it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1].str());
    return links;
}

// A link's target as a path below the site's root ("_static/x.css"), or
// empty for fragments, data: and other schemes, and other hosts.
std::string SitePath(const std::string& fromFile, std::string link, const std::string& baseUrl)
{
    static const std::regex kScheme(R"(^[A-Za-z][A-Za-z0-9+.-]*:)");
    if (link.starts_with(baseUrl + "/")) link = link.substr(baseUrl.size());
    else if (link.starts_with("//") || std::regex_search(link, kScheme)) return {};
    link = URLDecode(link.substr(0, link.find_first_of("#?")));
    if (link.empty()) return {};
    const fs::path full = link.starts_with("/") ? fs::path(link) : ("/" / fs::path(fromFile)).parent_path() / link;
    return full.lexically_normal().relative_path().string();
}

// A page's visible text: tags, scripts and styles dropped, the common
// entities decoded, white space folded.
std::string VisibleText(const std::string& html)
{
    static const std::regex kHidden(R"(<(script|style)\b[^>]*>[\s\S]*?</\1\s*>)", std::regex::icase);
    static const std::regex kTag(R"(<[^>]*>)");
    static const std::regex kSpace(R"(\s+)");
    std::string text = std::regex_replace(std::regex_replace(html, kHidden, " "), kTag, " ");
    for (const auto& [entity, character] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&#x27;", "'"}, {"&amp;", "&"}}) {
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, entity.size(), character);
    }
    return std::regex_replace(text, kSpace, " ");
}

// A stylesheet with its url(...) targets blanked: a mirror may relink them.
std::string WithoutCssUrls(const std::string& css)
{
    static const std::regex kCssUrl(R"re(url\([^)]*\))re", std::regex::icase);
    return std::regex_replace(css, kCssUrl, "url()");
}

// Where the first difference is, for messages.
std::string FirstDifference(const std::string& original, const std::string& saved)
{
    const auto [a, b] = std::mismatch(original.begin(), original.end(), saved.begin(), saved.end());
    const std::size_t at = static_cast<std::size_t>(a - original.begin());
    const std::size_t from = at > 20 ? at - 20 : 0;
    return "original \"" + original.substr(from, 60) + "\" / saved \"" + saved.substr(from, 60) + "\"";
}

// The site served, crawled once, and (when installed) fetched by wget.
struct CrawledSite {
    testsupport::TempDir folder;
    std::string site;      // the served copy
    std::string mirror;    // the folder standing for the server's root
    std::string baseUrl;
    std::vector<Request> crawlRequests;
    int reportedErrors = -1;  // the crawl's "Total errors: " line
    int wgetRequests = -1;  // -1: wget not installed
    std::map<std::string, std::string> originals;  // site path -> bytes
    std::set<std::string> linked;                   // site paths reachable from the start page
    std::set<std::string> deadLinks;                // site paths the site links to but lacks
    // Saved files named apart from their URL (a URL with a query gets a
    // generated name): saved path -> the site path of its origin label.
    std::map<std::string, std::string> origins;
    bool crawled = false;
    bool ended = false;
};

class SphinxSiteMirror : public crawltest::CrawlEnvironment {
protected:
    // Made before any test moves TMPDIR into its own folder, so the crawl
    // outlives the test that runs it.
    static void SetUpTestSuite() { sCrawl = std::make_unique<CrawledSite>(); }
    static void TearDownTestSuite() { sCrawl.reset(); }

    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        if (!fs::is_directory(kInstalledSite)) GTEST_SKIP() << kInstalledSite << " is missing (python3-aiosmtpd)";
        // Off-site links stay unfetched: nothing may leave the loopback.
        SetPreference("Grab Offsite URLs", "false");
        ReloadSettings();
        if (!sCrawl->crawled) Crawl(*sCrawl);
        ASSERT_TRUE(sCrawl->ended) << "the crawl did not end";
    }

    const CrawledSite& Site() const { return *sCrawl; }
    std::string Saved(const std::string& path) const { return crawltest::FileText(sCrawl->mirror + "/" + path); }
    bool IsSaved(const std::string& path) const { return fs::is_regular_file(sCrawl->mirror + "/" + path); }
    // The site file a saved file stands for: its own name (a query cut),
    // else the URL of its origin label; empty when neither is on the site.
    std::string SiteFileOf(const std::string& saved) const
    {
        const std::string name = saved.substr(0, saved.find('?'));
        if (sCrawl->originals.contains(name)) return name;
        const auto origin = sCrawl->origins.find(saved);
        return origin != sCrawl->origins.end() && sCrawl->originals.contains(origin->second) ? origin->second
                                                                                             : std::string();
    }
    // The saved file standing for a site path: its own name, that name with
    // the query a link carried ("x.woff2?v=4.7.0"), or a file labelled with
    // its URL; empty when none.
    std::string SavedName(const std::string& path) const
    {
        if (IsSaved(path)) return path;
        const fs::path folder = fs::path(sCrawl->mirror) / path;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder.parent_path(), error))
            if (entry.path().filename().string().starts_with(folder.filename().string() + "?"))
                return fs::relative(entry.path(), sCrawl->mirror).string();
        for (const auto& [saved, origin] : sCrawl->origins)
            if (origin == path) return saved;
        return {};
    }

private:
    void Crawl(CrawledSite& crawl)
    {
        crawl.crawled = true;
        crawl.site = crawl.folder.File("site");
        // The package links its shared scripts and themes: served as files
        // (a link that leads nowhere is left out).
        for (const auto& entry : fs::recursive_directory_iterator(kInstalledSite)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().lexically_relative(kInstalledSite).string();
            crawl.originals[path] = testsupport::ReadFileBytes(entry.path().string());
            crawl.folder.Write("site/" + path, crawl.originals[path]);
        }
        testsupport::NginxPeer nginx(crawl.site);
        crawl.baseUrl = nginx.BaseUrl();
        // What a visitor can reach from the start page through pages and
        // stylesheets, and the links among them that lead nowhere.
        std::vector<std::string> pending{"index.html"};
        crawl.linked.insert("index.html");
        while (!pending.empty()) {
            const std::string path = pending.back();
            pending.pop_back();
            if (!path.ends_with(".html") && !path.ends_with(".css")) continue;
            for (const std::string& link : LinksIn(crawl.originals.at(path))) {
                const std::string target = SitePath(path, link, crawl.baseUrl);
                if (target.empty()) continue;
                if (!crawl.originals.contains(target)) crawl.deadLinks.insert(target);
                else if (crawl.linked.insert(target).second) pending.push_back(target);
            }
        }

        CConfiguration configuration = MakeConfiguration();
        crawltest::RecordingGrabber window(configuration);
        crawl.ended = crawltest::RunGrab(window, configuration, nginx.Url("/index.html"), std::chrono::seconds(240));
        std::smatch errors;
        const std::string transcript = window.LogTranscript();
        if (std::regex_search(transcript, errors, std::regex("Total errors: ([0-9]+)")))
            crawl.reportedErrors = std::stoi(errors[1].str());
        crawl.mirror = Mirror() + "/127.0.0.1/" + std::to_string(nginx.Port());
        // Read before copying: a copy drops the labels.
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(crawl.mirror, error)) {
            std::string origin;
            if (!entry.is_regular_file() ||
                ReadItemAttribute(entry.path().c_str(), kOriginURLAttribute, origin) != 0 ||
                !origin.starts_with(crawl.baseUrl + "/"))
                continue;
            origin = URLDecode(origin.substr(crawl.baseUrl.size() + 1, origin.find('?') - crawl.baseUrl.size() - 1));
            crawl.origins[entry.path().lexically_relative(crawl.mirror).string()] = origin;
        }
        const std::string mirrorCopy = crawl.folder.File("mirror");
        if (fs::is_directory(crawl.mirror)) fs::copy(crawl.mirror, mirrorCopy, fs::copy_options::recursive);
        crawl.mirror = mirrorCopy;
        const std::string crawlLog = nginx.AccessLog();
        crawl.crawlRequests = ParseAccessLog(crawlLog);

        if (fs::exists(kWget)) {
            const int status = testsupport::RunProgram(
                {kWget, "-q", "-r", "-l", "inf", "-k", "-p", "-E", "-e", "robots=off", "-P", crawl.folder.File("wget"),
                 nginx.Url("/index.html")},
                "/dev/null", std::chrono::seconds(240));
            (void)status;  // 8: the site's own dead link
            crawl.wgetRequests = static_cast<int>(ParseAccessLog(nginx.AccessLog().substr(crawlLog.size())).size());
        }
    }

    static std::unique_ptr<CrawledSite> sCrawl;
};

std::unique_ptr<CrawledSite> SphinxSiteMirror::sCrawl;

// Every file the site links to is saved under its own name with its bytes
// (stylesheets may have their url() targets relinked).
TEST_F(SphinxSiteMirror, LinkedFilesAreSavedUnchanged)
{
    struct Kind {
        const char* extension;
        bool relinkable;
    };
    const Kind kinds[] = {{".js", false}, {".txt", false}, {".py", false}, {".png", false},
                          {".woff2", false}, {".css", true}};
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.extension);
        for (const std::string& path : Site().linked) {
            if (!path.ends_with(kind.extension)) continue;
            const std::string name = SavedName(path);
            if (name.empty()) {
                ADD_FAILURE() << path << " is not saved";
                continue;
            }
            const std::string& original = Site().originals.at(path);
            const std::string saved = Saved(name);
            if (kind.relinkable ? WithoutCssUrls(original) != WithoutCssUrls(saved) : original != saved)
                ADD_FAILURE() << path << " changed: " << FirstDifference(original, saved);
        }
    }
}

// Every saved file stands for a file of the site under its own name (a
// query may follow it), or under a generated name of the same type with the
// file's URL as its origin label: no stylesheet saved as a page, no name the
// site never had.
TEST_F(SphinxSiteMirror, SavedFilesKeepTheirNames)
{
    for (const auto& [path, bytes] : crawltest::ReadTree(Site().mirror)) {
        const std::string name = path.substr(0, path.find('?'));
        if (Site().originals.contains(name) && (name == path || !path.ends_with(".html"))) continue;
        const std::string site = SiteFileOf(path);
        if (!site.empty() && fs::path(site).extension() == fs::path(path).extension()) continue;
        const std::string stem = name.ends_with(".html") ? name.substr(0, name.size() - 5) : name;
        if (Site().originals.contains(stem)) ADD_FAILURE() << path << " is " << stem << " under another kind of name";
        else ADD_FAILURE() << path << " stands for no file of the site";
    }
}

TEST_F(SphinxSiteMirror, PagesKeepTheirText)
{
    for (const auto& [path, original] : Site().originals) {
        if (!path.ends_with(".html")) continue;
        if (!IsSaved(path)) {
            ADD_FAILURE() << path << " is not saved";
            continue;
        }
        const std::string before = VisibleText(original);
        const std::string after = VisibleText(Saved(path));
        if (before != after) ADD_FAILURE() << path << ": " << FirstDifference(before, after);
    }
}

// Links of saved pages and stylesheets open saved files from disk, unless
// the site itself has nothing there.
TEST_F(SphinxSiteMirror, OnSiteLinksWorkFromDisk)
{
    for (const auto& [path, text] : crawltest::ReadTree(Site().mirror)) {
        if (!path.ends_with(".html") && !path.ends_with(".css")) continue;
        for (const std::string& link : LinksIn(text)) {
            const std::string target = SitePath(path, link, Site().baseUrl);
            if (target.empty() || Site().deadLinks.contains(target)) continue;
            if (link.starts_with(Site().baseUrl)) ADD_FAILURE() << path << ": " << link << " points at the server";
            else if (SavedName(target).empty()) ADD_FAILURE() << path << ": " << link << " opens no saved file";
        }
    }
}

// A stylesheet's relinked url() opens a saved copy of the very file the
// original url() names (fonts asked for with "?v=4.7.0" among them).
TEST_F(SphinxSiteMirror, StylesheetLinksOpenTheSameFiles)
{
    static const std::regex kCssUrl(R"re(url\(\s*['"]?([^)'"]*)['"]?\s*\))re", std::regex::icase);
    for (const auto& [path, original] : Site().originals) {
        if (!path.ends_with(".css") || !Site().linked.contains(path) || SavedName(path).empty()) continue;
        const std::string saved = Saved(SavedName(path));
        std::sregex_iterator before(original.begin(), original.end(), kCssUrl);
        std::sregex_iterator after(saved.begin(), saved.end(), kCssUrl);
        for (; before != std::sregex_iterator() && after != std::sregex_iterator(); ++before, ++after) {
            const std::string wanted = SitePath(path, (*before)[1].str(), Site().baseUrl);
            if (wanted.empty() || !Site().originals.contains(wanted)) continue;
            const std::string opened = SitePath(path, (*after)[1].str(), Site().baseUrl);
            if (opened.empty() || !IsSaved(opened)) {
                ADD_FAILURE() << path << ": url(" << (*after)[1] << ") opens no saved file";
            } else if (SiteFileOf(opened) != wanted || Saved(opened) != Site().originals.at(wanted)) {
                ADD_FAILURE() << path << ": url(" << (*after)[1] << ") opens " << opened << ", not " << wanted;
            }
        }
    }
}

// A 4xx, and an error in the crawl's count, is only fair for a link the site
// really has but cannot serve; anything else is a request for a name the
// crawl made up.
TEST_F(SphinxSiteMirror, RequestsOnlyWhatTheSiteLinks)
{
    for (const Request& request : Site().crawlRequests) {
        if (request.status >= 400 && request.status < 500 && !Site().deadLinks.contains(request.path.substr(1)))
            ADD_FAILURE() << request.method << " " << request.path << " drew " << request.status;
    }
    EXPECT_GE(Site().reportedErrors, 0) << "no error count in the crawl's summary";
    EXPECT_LE(Site().reportedErrors, static_cast<int>(Site().deadLinks.size()));
}

TEST_F(SphinxSiteMirror, RequestsNoMoreThanARecursiveFetch)
{
    const int requests = static_cast<int>(Site().crawlRequests.size());
    if (Site().wgetRequests >= 0)
        EXPECT_LE(requests, kRequestRatioBar * Site().wgetRequests) << "wget needed " << Site().wgetRequests;
    else EXPECT_LE(requests, static_cast<int>(Site().originals.size()) + kRequestMargin);
}

}  // namespace
