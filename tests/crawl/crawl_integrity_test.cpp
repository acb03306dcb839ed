// A mirror stays whole whatever ends a crawl: a killed process, a full
// disk, a server that trickles or never answers. Files appear under their
// names only when complete, a later crawl repairs what an earlier one left,
// and nothing is left in the temporary folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

#include "engine/crawl/start_redirection.h"
#include "platform/posix/file_replacement.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"

extern char** environ;

namespace {

using namespace crawltest;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr char kChildURL[] = "TIDEWELL_TEST_CHILD_CRAWL_URL";
constexpr char kChildMirror[] = "TIDEWELL_TEST_CHILD_CRAWL_MIRROR";

std::string Page(const std::string& title, const std::string& body)
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

std::string Bytes(std::size_t count)
{
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>('a' + i * 7 % 26);
    return bytes;
}

// Items of the tree whose names mark a file still being written.
std::vector<std::string> TemporaryItems(const std::string& folder)
{
    std::vector<std::string> found;
    for (const std::string& item : ListTree(folder))
        if (IsTemporaryFileName(fs::path(item).filename().string())) found.push_back(item);
    return found;
}

// The child crawl holds a body's spill file: a file, named or not, in the
// temporary folder of its own test root, which lies in `folder` (the
// parent's temporary folder). Files elsewhere in its root, such as the
// preferences it writes while it starts, do not count: a kill then would
// come before the crawl began.
bool HoldsSpillFile(pid_t process, const std::string& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (!target.starts_with(folder + "/")) continue;
        const std::string_view inRoot = std::string_view(target).substr(folder.size() + 1);
        const std::size_t slash = inRoot.find('/');
        if (slash != std::string_view::npos && inRoot.substr(slash).starts_with("/tmp/")) return true;
    }
    return false;
}

class CrawlIntegrity : public CrawlEnvironment {
protected:
    void SetUp() override
    {
        CrawlEnvironment::SetUp();
        SetPreference("Grab Offsite URLs", "false");
    }
    std::string Host(const HttpPeer& peer) const { return "127.0.0.1/" + std::to_string(peer.Port()) + "/"; }

    // This test program, running only the child crawl below, as a process
    // of its own.
    pid_t StartChildCrawl(const std::string& url, const std::string& mirror)
    {
        std::vector<std::string> variables = {std::string(kChildURL) + "=" + url,
                                              std::string(kChildMirror) + "=" + mirror};
        for (char** at = environ; *at != nullptr; ++at) variables.emplace_back(*at);
        std::vector<char*> environment;
        for (std::string& variable : variables) environment.push_back(variable.data());
        environment.push_back(nullptr);
        std::string program = fs::read_symlink("/proc/self/exe").string();
        std::string filter = "--gtest_filter=CrawlIntegrityChild.CrawlsIntoTheGivenFolder";
        char* arguments[] = {program.data(), filter.data(), nullptr};
        pid_t child = -1;
        if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) return -1;
        return child;
    }
};

// Not a test of its own: the crawl that CrawlIntegrity kills.
class CrawlIntegrityChild : public CrawlEnvironment {};

TEST_F(CrawlIntegrityChild, CrawlsIntoTheGivenFolder)
{
    const char* url = std::getenv(kChildURL);
    const char* mirror = std::getenv(kChildMirror);
    if (url == nullptr || mirror == nullptr) GTEST_SKIP() << "runs only as the child of a kill test";
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.localPath = mirror;
    configuration.mMiscOptions.logFolder = mirror;
    RecordingGrabber window(configuration);
    RunGrab(window, configuration, url, std::chrono::seconds(120));
}

TEST_F(CrawlIntegrity, ACrawlKilledMidTransferLeavesNoPartialFileAndTheNextOneRepairsTheMirror)
{
    const std::string big = Bytes(8u << 20);
    HttpPeer peer({
        {.path = "/",
         .body = Page("Start", "<a href=\"a.html\">a</a> <a href=\"big.bin\">big</a> <a href=\"c.html\">c</a> "
                               "<a href=\"sub/\">sub</a>")},
        {.path = "/a.html", .body = Page("A", "<a href=\"c.html\">c</a> <a href=\"sub/\">sub</a>")},
        {.path = "/big.bin",
         .headers = {{"Content-Type", "application/octet-stream"}},
         .body = big,
         .trickle = HttpTrickle{.bytes = 256u << 10, .delaySeconds = 0.2}},
        {.path = "/c.html", .body = Page("C", "<a href=\"/\">home</a>")},
        {.path = "/sub/", .body = Page("Sub", "<a href=\"../a.html\">a</a>")},
    });

    const pid_t child = StartChildCrawl(peer.Url("/"), Mirror());
    ASSERT_GT(child, 0);
    // Killed once the large body has begun to spill to a file.
    const std::string host = Host(peer);
    bool midTransfer = false;
    for (int wait = 0; wait < 1200 && !midTransfer; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        midTransfer = HoldsSpillFile(child, Root() + "/tmp");
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(midTransfer);

    auto tree = ReadTree(Mirror());
    EXPECT_TRUE(tree.contains(host + "Index.html"));
    EXPECT_FALSE(tree.contains(host + "big.bin")) << "cut short under its own name";
    EXPECT_TRUE(TemporaryItems(Mirror()).empty());
    // The child's spill file had no name: its temporary folder is empty.
    for (const auto& entry : fs::directory_iterator(Root() + "/tmp")) {
        if (!fs::is_directory(entry.path() / "tmp")) continue;
        EXPECT_TRUE(fs::is_empty(entry.path() / "tmp")) << entry.path();
    }

    // The next crawl into the same folder completes every file and link.
    CConfiguration configuration = MakeConfiguration();
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/"), std::chrono::seconds(60)));
    tree = ReadTree(Mirror());
    EXPECT_EQ(tree[host + "big.bin"], big);
    for (const char* page : {"Index.html", "a.html", "c.html", "sub/Index.html"})
        EXPECT_TRUE(tree.contains(host + page)) << page;
    EXPECT_EQ(std::to_string(window.progress.errors), "0");
    EXPECT_TRUE(AllLinksLocal(CheckMirrorLinks(Mirror())));
    EXPECT_TRUE(TemporaryItems(Mirror()).empty());
}

TEST_F(CrawlIntegrity, AFullDiskLeavesNoPartialFileAndTheNextCrawlCompletesIt)
{
    const std::string small = mRoot.MakeFolder("small");
    if (::mount("tidewell-test", small.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (" << std::strerror(errno) << ")";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};

    const std::string big = Bytes(600 * 1024);
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"big.bin\">big</a> <a href=\"after.html\">after</a>")},
        {.path = "/big.bin", .headers = {{"Content-Type", "application/octet-stream"}}, .body = big},
        {.path = "/after.html", .body = Page("After", "<a href=\"/\">home</a>")},
    });
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.localPath = small.c_str();
    configuration.mMiscOptions.logFolder = small.c_str();
    const std::string host = Host(peer);
    {
        RecordingGrabber window(configuration);
        ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
        EXPECT_EQ(std::to_string(window.progress.errors), "1");
        EXPECT_TRUE(window.Logged("The file could not be saved: " + peer.Url("/big.bin") +
                                  " (No space left on device)"))
            << window.LogTranscript();
        const auto tree = ReadTree(small);
        EXPECT_FALSE(tree.contains(host + "big.bin")) << "cut short under its own name";
        EXPECT_TRUE(tree.contains(host + "after.html"));
        EXPECT_TRUE(TemporaryItems(small).empty());
    }

    ASSERT_EQ(::mount("tidewell-test", small.c_str(), "tmpfs", MS_REMOUNT, "size=4m"), 0) << std::strerror(errno);
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
    EXPECT_EQ(std::to_string(window.progress.errors), "0");
    EXPECT_EQ(FileText(small + "/" + host + "big.bin"), big);
    const auto links = CheckMirrorLinks(small);
    EXPECT_TRUE(links.broken.empty()) << ::testing::PrintToString(links.broken);
}

TEST_F(CrawlIntegrity, ATransferBelowTheRateFloorEndsAsStalled)
{
    // Ten bytes a second: the whole page would take minutes.
    SetPreference("Network Timeout", "1");
    ReloadSettings();
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"slow.html\">slow</a> <a href=\"fine.html\">fine</a>")},
        {.path = "/slow.html", .body = Page("Slow", std::string(3000, 's')), .trickle = HttpTrickle{1, 0.1}},
        {.path = "/fine.html", .body = Page("Fine", "fine")},
    });
    // Both windows' fetches: none may wait without a time-out.
    for (const bool quick : {false, true}) {
        SCOPED_TRACE(quick ? "quicker grabber" : "grabber");
        std::filesystem::remove_all(Mirror());
        std::filesystem::create_directory(Mirror());
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.timeout = 0;  // the preference's time-out
        if (quick) {
            RecordingQuickGrabber window(configuration);
            ASSERT_TRUE(RunQuickGrab(window, configuration, peer.Url("/"), std::chrono::seconds(60)));
        } else {
            RecordingGrabber window(configuration);
            ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/"), std::chrono::seconds(60)));
            EXPECT_EQ(std::to_string(window.progress.errors), "1");
        }
        const auto tree = ReadTree(Mirror());
        EXPECT_FALSE(tree.contains(Host(peer) + "slow.html"));
        EXPECT_TRUE(tree.contains(Host(peer) + "fine.html"));
    }
}

// The window follows the start URL's redirections before the crawl begins;
// a start URL that never answers costs one time-out in all.
TEST_F(CrawlIntegrity, AStartURLThatNeverAnswersIsAskedOnce)
{
    HttpPeer peer({{.path = "/", .body = Page("Late", "late"), .stallSeconds = 60}});
    CConfiguration configuration = MakeConfiguration();
    configuration.mGeneralOptions.timeout = 1;
    std::string url = peer.Url("/");
    CStartAnswer answer;
    EXPECT_FALSE(FollowRedirection(configuration, url, answer));
    EXPECT_TRUE(answer.unanswered);
    RecordingGrabber window(configuration);
    ASSERT_TRUE(RunGrab(window, configuration, url, StandardCrawlCollaborators({}, std::move(answer))));
    EXPECT_EQ(peer.RequestCount("/"), 1);
    EXPECT_EQ(std::to_string(window.progress.errors), "1");
}

// Bodies stream to disk: a crawl's peak memory does not grow with them, and
// a page over the link-processing cap is saved as it came.
TEST_F(CrawlIntegrity, LargeBodiesStreamToDiskWithoutGrowingTheCrawlsMemory)
{
    const std::string site = mRoot.MakeFolder("site");
    mRoot.Write("site/index.html", Page("Start", "<a href=\"big.bin\">big</a> <a href=\"huge.html\">huge</a>"));
    constexpr off_t kBinaryBytes = 192 << 20;
    constexpr off_t kPageBytes = 96 << 20;  // over the 64 MB cap
    ASSERT_EQ(::truncate(mRoot.Write("site/big.bin", "").c_str(), kBinaryBytes), 0);
    ASSERT_EQ(::truncate(mRoot.Write("site/huge.html", "").c_str(), kPageBytes), 0);
    NginxPeer server(site, 120);

    // The start page's redirection check reads only the head of the page.
    std::string start = server.Url("/huge.html");
    EXPECT_FALSE(FollowRedirection(MakeConfiguration(), start));
    // nginx logs the request once it sees the connection closed.
    const std::string request = "\"GET /huge.html HTTP/1.1\" 200 ";
    std::string access = server.AccessLog();
    for (int wait = 0; wait < 200 && access.find(request) == std::string::npos; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        access = server.AccessLog();
    }
    const std::size_t logged = access.find(request);
    ASSERT_NE(logged, std::string::npos) << access;
    const long long sent = std::stoll(access.substr(logged + request.size()));
    EXPECT_LT(sent, kPageBytes / 8) << "bytes of the start page sent for its redirection check";
    EXPECT_GT(sent, 0);

    const pid_t child = StartChildCrawl(server.Url("/"), Mirror());
    ASSERT_GT(child, 0);
    int status = 0;
    rusage usage {};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    const std::string host = Mirror() + "/127.0.0.1/" + std::to_string(server.Port()) + "/";
    EXPECT_EQ(fs::file_size(host + "big.bin"), static_cast<std::uintmax_t>(kBinaryBytes));
    EXPECT_EQ(fs::file_size(host + "huge.html"), static_cast<std::uintmax_t>(kPageBytes));
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's quarantine keeps freed memory: no peak to compare";
#else
    const long peakBytes = usage.ru_maxrss * 1024L;
    EXPECT_LT(peakBytes, kPageBytes) << "peak " << (peakBytes >> 20) << " MB";
#endif
}


// A grabber's crawl that cuts every spilled body short while the crawl looks
// at a response: the body on disk can no longer be read back.
class SpillCuttingGrabber : public RecordingGrabber {
public:
    SpillCuttingGrabber(CConfiguration& configuration, std::string folder)
        : RecordingGrabber(configuration), mFolder(std::move(folder))
    {
    }
    void CrawlStatus(const std::string& text) override
    {
        RecordingGrabber::CrawlStatus(text);
        if (text != "Processing response") return;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
            if (!fs::read_symlink(entry.path(), error).string().starts_with(mFolder + "/")) continue;
            if (::truncate(entry.path().c_str(), 1) == 0) ++cuts;
        }
    }
    int cuts = 0;

private:
    std::string mFolder;
};

TEST_F(CrawlIntegrity, ABodyThatCannotBeReadBackIsAnErrorNotAnEmptyPage)
{
    // Over the spill size, under the cap on pages read for links.
    const std::string big = Page("Big", "<a href=\"after.html\">after</a>" + std::string(5u << 20, ' '));
    HttpPeer peer({
        {.path = "/", .body = Page("Start", "<a href=\"big.html\">big</a>")},
        {.path = "/big.html", .body = big},
        {.path = "/after.html", .body = Page("After", "")},
    });
    const std::string host = Host(peer);
    const struct {
        std::int32_t saveAction;
    } cases[] = {{1}, {0}};
    for (const auto& c : cases) {
        const std::string mirror = mRoot.MakeFolder("mirror-" + std::to_string(c.saveAction));
        CConfiguration configuration = MakeConfiguration();
        configuration.mGeneralOptions.localPath = mirror.c_str();
        configuration.mMiscOptions.logFolder = mirror.c_str();
        configuration.mGeneralOptions.saveAction = c.saveAction;
        configuration.mMiscOptions.errorLinks = 1;
        SpillCuttingGrabber window(configuration, Root() + "/tmp");
        ASSERT_TRUE(RunGrab(window, configuration, peer.Url("/")));
        EXPECT_GT(window.cuts, 0) << c.saveAction;
        EXPECT_EQ(std::to_string(window.progress.errors), "1") << c.saveAction;
        EXPECT_TRUE(window.Logged("The downloaded file could not be read back: " + peer.Url("/big.html")))
            << window.LogTranscript();
        EXPECT_EQ(window.LogTranscript().find("could not be saved"), std::string::npos) << window.LogTranscript();
        EXPECT_EQ(peer.RequestCount("/after.html"), 0) << c.saveAction;
        const auto tree = ReadTree(mirror);
        EXPECT_FALSE(tree.contains(host + "big.html")) << c.saveAction;
        EXPECT_EQ(tree.contains(host + "Index.html"), c.saveAction == 1);
    }
}

}  // namespace
