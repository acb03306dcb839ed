// The update of a downloaded folder against real servers: files saved by a
// fetch are refreshed in place, and nothing but a complete 2xx answer ever
// replaces a file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/crawl/mirror_writer.h"
#include "engine/html/mirror_links.h"
#include "engine/update/update_iterator.h"
#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "foundation/files/file_system.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/support/file_bytes.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/temp_dir.h"
#include "tests/threads/lambda_thread.h"
#include "tests/update/recording_update_window.h"

namespace {

using testsupport::HttpPeer;
using testsupport::HttpRoute;
using testsupport::HttpTrickle;
using testsupport::NginxPeer;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

const std::string kBullet = "\xE2\x80\xA2";

// Runs `body` on a cooperative thread until it returns.
void RunOnThread(const std::function<void()>& body)
{
    CLambdaThread thread([&body](CLambdaThread&) { body(); });
    thread.Resume();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return thread.IsFinished(); },
                                           std::chrono::steady_clock::now() + std::chrono::seconds(60)));
}

// Fetches `url` and saves it into the mirror below `downloadFolder`, as a
// crawl does; the saved file.
CFileRef SaveLikeACrawl(const std::string& url, const std::string& downloadFolder)
{
    CURL record(url);
    CFileRef saved;
    RunOnThread([&] {
        EXPECT_EQ(record.FetchSimple(60), 1) << url;
        const CMirrorLocation location = MirrorLocationForURL(record, CMirrorNaming{.indexName = "index.html"});
        CMirrorFileLabels labels;
        labels.url = record.mURL;
        labels.modificationSeconds = record.mModificationSeconds;
        CMirrorWriter writer(downloadFolder);
        EXPECT_EQ(writer.Write(location.folders, location.fileName, true, record.mBody, labels, saved).Code(), 0) << url;
    });
    return saved;
}

bool SupportsComments(const TempDir& dir)
{
    const CFileRef probe(dir.Write("probe", ""));
    const bool supported = CFile::SetFinderComment(probe, "x").Ok();
    unlink(probe.c_str());
    return supported;
}

// Every item below `folder`, by path, with a file's bytes ("<folder>" for folders).
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> items;
    (void)WalkFolderTree(CFileRef(folder), 0, [&](const CWalkItem& item) {
        items[item.ref.Path()] = item.isFolder ? "<folder>" : ReadFileBytes(item.ref.Path());
        return false;
    });
    return items;
}

struct SFileIdentity {
    ino_t inode = 0;
    time_t modified = 0;
    friend bool operator==(const SFileIdentity&, const SFileIdentity&) = default;
};

SFileIdentity Identity(const std::string& path)
{
    struct stat info {};
    lstat(path.c_str(), &info);
    return {info.st_ino, info.st_mtime};
}

void SetModified(const std::string& path, time_t seconds)
{
    struct utimbuf times {seconds, seconds};
    utime(path.c_str(), &times);
}

// The log lines of one file that was fetched and saved (or not).
std::string FileLog(const std::string& name, const std::string& url, bool saved)
{
    return kBullet + " " + name + "\rURL = " + url + "\rgrabbing...\r" +
           (saved ? "saving...\r\r" : "The url could not be grabbed.\r\r");
}

class UpdateIterator : public testing::Test {
protected:
    void SetUp() override
    {
        if (!SupportsComments(download)) GTEST_SKIP() << "no user attributes on this file system";
    }
    void TearDown() override
    {
        EXPECT_TRUE(CThreadScheduler::RunUntil([] { return CThread::LiveThreads().IsEmpty(); },
                                               std::chrono::steady_clock::now() + std::chrono::seconds(10)));
    }

    // A file with old bytes and `comment` as its URL; its path.
    std::string OldFile(const std::string& name, const std::string& comment)
    {
        const std::string path = download.Write(name, "old bytes of " + name + "\n\x01\x02");
        EXPECT_EQ(CFile::SetFinderComment(CFileRef(path), comment.c_str()).Code(), 0);
        SetModified(path, 1'000'000'000);
        return path;
    }

    TempDir download;
    CRecordingUpdateWindow window;
};

TEST_F(UpdateIterator, RefreshesEveryFileOfASavedMirrorInPlace)
{
    TempDir site;
    const std::map<std::string, std::string> oldBodies = {
        {"/index.html", "<html><body>home, first edition, rather long</body></html>"},
        {"/docs/guide.html", "<html>guide</html>"},
        {"/docs/style.css", "body { color: black; }"},
        {"/docs/img/logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0old", 15)},
    };
    for (const auto& [path, body] : oldBodies) site.Write(path.substr(1), body);
    NginxPeer nginx(site.Path());

    std::map<std::string, std::string> saved;  // URL path -> saved file
    for (const auto& [path, body] : oldBodies) {
        const CFileRef file = SaveLikeACrawl(nginx.Url(path), download.Path());
        ASSERT_EQ(ReadFileBytes(file.Path()), body);
        saved[path] = file.Path();
    }
    const std::map<std::string, std::string> newBodies = {
        {"/index.html", "<html>home, second</html>"},  // shorter: no old tail may stay
        {"/docs/guide.html", "<html>guide, second edition, now much longer than before</html>"},
        {"/docs/style.css", "body { color: navy; }"},
        {"/docs/img/logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0new, bigger", 23)},
    };
    constexpr time_t kServedTime = 1'500'000'000;
    for (const auto& [path, body] : newBodies) {
        site.Write(path.substr(1), body);
        SetModified(site.File(path.substr(1)), kServedTime);
    }
    std::map<std::string, std::string> before = Snapshot(download.Path());

    ASSERT_TRUE(window.RunUpdate(CFileRef(download.Path())));

    std::map<std::string, std::string> expected = before;
    for (const auto& [path, file] : saved) {
        SCOPED_TRACE(path);
        expected[file] = newBodies.at(path);
        std::string comment;
        EXPECT_EQ(CFile::GetFinderComment(CFileRef(file), comment).Code(), 0);
        EXPECT_EQ(comment, nginx.Url(path));
        EXPECT_EQ(Identity(file).modified, kServedTime);
        const std::string name = file.substr(file.rfind('/') + 1);
        EXPECT_NE(window.logPane.find(FileLog(name, nginx.Url(path), true)), std::string::npos) << window.logPane;
    }
    // Same names, new bytes, and nothing left beside them.
    EXPECT_EQ(Snapshot(download.Path()), expected);
    EXPECT_TRUE(window.logPane.ends_with("saving...\r\rDone.\r")) << window.logPane;
    EXPECT_EQ(window.logPane.find("could not"), std::string::npos) << window.logPane;
    ASSERT_GE(window.calls.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(window.calls.begin(), window.calls.begin() + 2),
              (std::vector<std::string>{"busy on", "running on"}));
    EXPECT_EQ(std::vector<std::string>(window.calls.end() - 3, window.calls.end()),
              (std::vector<std::string>{"busy off", "running off", "cleared"}));
}

// Whatever goes wrong with a fetch, the old file stays byte for byte (the
// very same file: not even rewritten), and the walk goes on.
TEST_F(UpdateIterator, OnlyACompleteSuccessReplacesAFile)
{
    HttpPeer peer({
        {.path = "/gone", .status = 404, .body = "<html>Not Found</html>"},
        {.path = "/broken", .status = 500, .body = "<html>Internal error</html>"},
        {.path = "/cut", .body = std::string(100, 'c'), .closeMidBody = 10},
        {.path = "/moved", .redirect = "/elsewhere"},
        {.path = "/nothing", .status = 204},
        {.path = "/fine", .body = "fresh bytes"},
    });
    struct Case {
        std::string name;
        std::string url;
        bool replaced;
    };
    const std::vector<Case> cases = {
        {"a-gone.html", peer.Url("/gone"), false},
        {"b-broken.html", peer.Url("/broken"), false},
        {"c-cut.bin", peer.Url("/cut"), false},
        {"d-fine.txt", peer.Url("/fine"), true},
        {"e-moved.html", peer.Url("/moved"), false},
        {"f-nothing.html", peer.Url("/nothing"), false},
        {"g-refused.html", "http://127.0.0.1:1/x", false},
        {"h-words.txt", "just some words", false},
    };
    std::map<std::string, std::string> oldBytes;
    std::map<std::string, SFileIdentity> identities;
    std::string expectedLog;
    for (const Case& test : cases) {
        const std::string path = OldFile(test.name, test.url);
        oldBytes[test.name] = ReadFileBytes(path);
        identities[test.name] = Identity(path);
        expectedLog += FileLog(test.name, test.url, test.replaced);
    }

    ASSERT_TRUE(window.RunUpdate(CFileRef(download.Path())));

    EXPECT_EQ(window.logPane, expectedLog + "Done.\r");
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string path = download.File(test.name);
        if (test.replaced) {
            EXPECT_EQ(ReadFileBytes(path), "fresh bytes");
            continue;
        }
        EXPECT_EQ(ReadFileBytes(path), oldBytes[test.name]);
        EXPECT_EQ(Identity(path), identities[test.name]);
    }
    EXPECT_EQ(Snapshot(download.Path()).size(), cases.size());
}

TEST_F(UpdateIterator, FilesWithoutACommentAreListedAndLeftAlone)
{
    HttpPeer peer({{.path = "/page", .body = "new page"}});
    const std::string commented = OldFile("b-page.html", peer.Url("/page"));
    const std::string hand = download.Write("a-notes.txt", "typed by hand\n");
    download.MakeFolder("c-empty-folder");
    ASSERT_EQ(symlink(hand.c_str(), download.File("d-link").c_str()), 0);
    const SFileIdentity handIdentity = Identity(hand);

    ASSERT_TRUE(window.RunUpdate(CFileRef(download.Path())));

    EXPECT_EQ(window.logPane, kBullet + " a-notes.txt\rNo comment could be extracted.\r\r" +
                                  FileLog("b-page.html", peer.Url("/page"), true) + kBullet +
                                  " d-link\rNo comment could be extracted.\r\r" + "Done.\r");
    EXPECT_EQ(ReadFileBytes(hand), "typed by hand\n");
    EXPECT_EQ(Identity(hand), handIdentity);
    EXPECT_EQ(ReadFileBytes(commented), "new page");
    struct stat link {};
    ASSERT_EQ(lstat(download.File("d-link").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
}

TEST_F(UpdateIterator, AWalkThatHasNothingToDoOrCannotStart)
{
    struct Case {
        const char* name;
        std::string folder;
        const char* told;  // the line between the start and the end
    };
    const std::string empty = download.MakeFolder("empty");
    const std::string file = download.Write("a-file", "not a folder");
    // Not a success: the walk never ran, and that is told.
    const std::vector<Case> cases = {
        {"empty folder", empty, "Done."},
        {"missing folder", download.File("missing"),
         "The folder could not be read: {} (No such file or directory)"},
        {"a file", file, "The folder could not be read: {} (Not a directory)"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CRecordingUpdateWindow fresh;
        ASSERT_TRUE(fresh.RunUpdate(CFileRef(test.folder)));
        std::string told = test.told;
        if (const std::size_t at = told.find("{}"); at != std::string::npos) told.replace(at, 2, test.folder);
        EXPECT_EQ(fresh.calls, (std::vector<std::string>{"busy on", "running on", "log " + told, "busy off",
                                                         "running off", "cleared"}));
        EXPECT_FALSE(fresh.running);
    }
}

// The window's stop: a stop request with a wake cancels the fetch in
// progress and ends the walk without "Done.".
TEST_F(UpdateIterator, AStopEndsTheWalkQuietlyAndKeepsTheFile)
{
    HttpPeer peer({{.path = "/slow", .body = std::string(400, 's'), .trickle = HttpTrickle{1, 0.05}}});
    const std::string first = OldFile("a.html", peer.Url("/slow"));
    const std::string second = OldFile("b.html", peer.Url("/slow"));
    const std::string firstBytes = ReadFileBytes(first);
    bool stopped = false;

    ASSERT_TRUE(window.RunUpdate(CFileRef(download.Path()), [&](CUpdateIterator& updater) {
        if (stopped || window.logPane.find("grabbing...") == std::string::npos) return;
        stopped = true;
        updater.RequestStop();
        updater.Wake();
    }));

    EXPECT_TRUE(stopped);
    EXPECT_EQ(window.logPane.find("Done."), std::string::npos) << window.logPane;
    EXPECT_EQ(window.logPane.find("b.html"), std::string::npos) << window.logPane;
    EXPECT_EQ(ReadFileBytes(first), firstBytes);
    EXPECT_EQ(std::vector<std::string>(window.calls.end() - 3, window.calls.end()),
              (std::vector<std::string>{"busy off", "running off", "cleared"}));
}

}  // namespace
