#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/framework/cleanup.h"
#include "app/framework/dialog.h"
#include "app/windows/software_update/open_software_update.h"
#include "app/windows/software_update/software_update_layout.h"
#include "app/windows/software_update/software_update_windows.h"
#include "app/windows/software_update/software_updater_thread.h"
#include "app/windows/software_update/update_transfer.h"
#include "app/windows/software_update/version_check.h"
#include "foundation/settings/app_settings.h"
#include "tests/grabber_windows/window_test_support.h"
#include "tests/support/http_peer.h"

namespace {

using namespace softwareupdate;
using namespace std::chrono_literals;
using testsupport::HttpPeer;
using testsupport::HttpRoute;

std::string VersionList(const std::string& entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>Other</key><dict><key>CurrentVersion</key><integer>999</integer></dict>"
           "<key>Tidewell</key><dict>" +
           entries + "</dict></dict></plist>\n";
}

const std::string kNotes = "<key>ReleaseNotesLocation</key><string>https://www.farrowby.com/notes.html</string>";
const std::string kDownload = "<key>DownloadLocation</key><string>https://www.farrowby.com/Tidewell.tar.gz</string>";

template <class T>
std::size_t Count()
{
    std::size_t shown = 0;
    for (T* window : CWindow::WindowsOfClass<T>())
        if (!window->IsScheduledForCleanup()) ++shown;
    return shown;
}

class SoftwareUpdate : public gwtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        gAppSettings->mVersion = "2.1";
    }
    void TearDown() override
    {
        StopSoftwareUpdate();
        CVersionCheckThread::SetDeadline(90s);
        CUpdateAvailableWindow::SetSaveFileChooser({});
        WindowTest::TearDown();
    }
    void RunCheck(const std::string& url)
    {
        SetPreference("Version List URL", url.c_str());
        CheckForSoftwareUpdate(false, nullptr);
        EXPECT_NE(CVersionCheckThread::Current(), nullptr) << "the command returns while the check runs";
        EXPECT_EQ(Count<CCheckingForSoftwareWindow>(), 1u);
        ASSERT_TRUE(RunEvents([] { return CVersionCheckThread::Current() == nullptr; }));
        EXPECT_EQ(Count<CCheckingForSoftwareWindow>(), 0u);
    }
};

TEST(UpdateTransfer, OnlyHttpsOrLoopbackHttpIsAsked)
{
    const struct {
        const char* url;
        bool allowed;
    } cases[] = {
        {"https://www.farrowby.com/ProductVersions.plist", true},
        {"HTTPS://www.farrowby.com/x", true},
        {"http://www.farrowby.com/ProductVersions.plist", false},
        {"http://127.0.0.1:8080/ProductVersions.plist", true},
        {"http://localhost/x", true},
        {"http://127.0.0.1.example.com/x", false},
        {"ftp://127.0.0.1/x", false},
        {"file:///etc/passwd", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsAllowedUpdateURL(c.url), c.allowed) << c.url;
}

// Own version "2.1" reads as 21.
TEST_F(SoftwareUpdate, TheCheckShowsTheWindowForItsOutcome)
{
    enum class EShown { kUpToDate, kAvailable, kFailed };
    const struct {
        const char* name;
        HttpRoute route;
        EShown shown;
    } cases[] = {
        {"same version", {.body = VersionList("<key>CurrentVersion</key><integer>21</integer>" + kNotes + kDownload)},
         EShown::kUpToDate},
        {"newer version",
         {.body = VersionList("<key>CurrentVersion</key><integer>210</integer>" + kNotes + kDownload)},
         EShown::kAvailable},
        {"not a property list", {.body = "<html>Moved</html>"}, EShown::kFailed},
        {"not found", {.status = 404, .body = VersionList("<key>CurrentVersion</key><integer>210</integer>" + kNotes)},
         EShown::kFailed},
        {"not an integer", {.body = VersionList("<key>CurrentVersion</key><real>2.5</real>" + kNotes)},
         EShown::kFailed},
        {"no release notes", {.body = VersionList("<key>CurrentVersion</key><integer>210</integer>" + kDownload)},
         EShown::kFailed},
        {"cut short", {.body = VersionList("<key>CurrentVersion</key><integer>210</integer>" + kNotes),
                       .closeMidBody = 40},
         EShown::kFailed},
        {"stalls past the deadline",
         {.body = VersionList("<key>CurrentVersion</key><integer>210</integer>" + kNotes), .stallSeconds = 30},
         EShown::kFailed},
    };
    CVersionCheckThread::SetDeadline(700ms);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRoute route = c.route;
        route.path = "/ProductVersions.plist";
        HttpPeer peer({route});
        RunCheck(peer.Url("/ProductVersions.plist"));
        EXPECT_EQ(Count<CUpToDateWindow>(), c.shown == EShown::kUpToDate ? 1u : 0u);
        EXPECT_EQ(Count<CUpdateAvailableWindow>(), c.shown == EShown::kAvailable ? 1u : 0u);
        EXPECT_EQ(Count<CUpdateCheckFailedWindow>(), c.shown == EShown::kFailed ? 1u : 0u);
        if (c.shown == EShown::kAvailable) {
            CUpdateAvailableWindow* window = CWindow::WindowsOfClass<CUpdateAvailableWindow>().front();
            EXPECT_EQ(window->GetInfo().currentVersion, 210);
            EXPECT_EQ(window->GetInfo().downloadLocation, "https://www.farrowby.com/Tidewell.tar.gz");
            Screenshot(*window, "update_available");
        }
        for (CWindow* window : std::vector<CWindow*>(CWindow::AllWindows())) delete window;
        DeleteScheduledObjects();
    }
}

// The version list holds a version without its dots (own "2.1" is 21): the
// window and its release notes show it with them again, as users read it.
TEST_F(SoftwareUpdate, TheAvailableVersionIsShownDotted)
{
    const struct {
        const char* own;
        const char* current;
        const char* shown;
    } cases[] = {
        {"1.0", "11", "1.1"},
        {"2.1", "210", "2.1.0"},
        {"0", "7", "7"},
        {"9.9.9", "1000", "1.0.0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        gAppSettings->mVersion = c.own;
        HttpPeer peer({{.path = "/ProductVersions.plist",
                        .body = VersionList("<key>CurrentVersion</key><integer>" + std::string(c.current) +
                                            "</integer>" + kNotes)}});
        RunCheck(peer.Url("/ProductVersions.plist"));
        ASSERT_EQ(Count<CUpdateAvailableWindow>(), 1u);
        CUpdateAvailableWindow* window = CWindow::WindowsOfClass<CUpdateAvailableWindow>().front();
        EXPECT_EQ(window->GetMessage(),
                  "Version " + std::string(c.shown) + " of Tidewell is available. Would you like to download it?");
        const std::string notes = Root() + "/notes-" + c.current + ".html";
        ASSERT_EQ(window->SaveReleaseNotes(notes), 0);
        EXPECT_NE(crawltest::FileText(notes).find("Tidewell version " + std::string(c.shown) + " are at"),
                  std::string::npos);
        for (CWindow* shown : std::vector<CWindow*>(CWindow::AllWindows())) delete shown;
        DeleteScheduledObjects();
    }
}

// Saved notes are readable by all, writable by the owner; notes that cannot
// be saved where the user chose are told.
TEST_F(SoftwareUpdate, ReleaseNotesAreSavedReadableByAllWritableByTheOwnerOrTold)
{
    HttpPeer peer({{.path = "/ProductVersions.plist",
                    .body = VersionList("<key>CurrentVersion</key><integer>300</integer>" + kNotes)}});
    RunCheck(peer.Url("/ProductVersions.plist"));
    ASSERT_EQ(Count<CUpdateAvailableWindow>(), 1u);
    mRoot.Write("notes.html", "an older file, wider open");
    ::chmod((Root() + "/notes.html").c_str(), 0666);
    mRoot.MakeFolder("folder.html");
    const struct {
        const char* name;
        const char* reason;  // "" when saved
    } cases[] = {
        {"notes.html", ""},
        {"folder.html", "Is a directory"},
        {"missing/notes.html", "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Root() + "/" + c.name;
        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(kMsgOK);
        CUpdateAvailableWindow::SetSaveFileChooser([&](const std::string& name) {
            EXPECT_EQ(name, "Tidewell Release Notes.html");
            return path;
        });
        Click(*CWindow::WindowsOfClass<CUpdateAvailableWindow>().front(), kSave);
        const auto& asked = CScriptedAnswers::Asked();
        if (*c.reason != '\0') {
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].text, "The release notes could not be saved: " + path + " (" + c.reason + ")");
            continue;
        }
        EXPECT_TRUE(asked.empty());
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u);
        EXPECT_NE(crawltest::FileText(path).find("https://www.farrowby.com/notes.html"), std::string::npos);
    }
}

TEST_F(SoftwareUpdate, TheArchiveIsWrittenWholeUnderANewSafeName)
{
    const std::string archive(300000, 'z');
    // The window is watched between turns of the event loop: an answer that
    // pauses after its header keeps the window's determinate state there for
    // many turns, however fast the rest of the archive then arrives.
    constexpr double kPause = 0.2;
    const struct {
        const char* name;
        HttpRoute route;
        bool existing;         // a file of that name is in the folder already
        const char* fileName;  // the new file's name; "" when nothing may be written, "*" any new name
        bool determinate;
    } cases[] = {
        {"with a length", {.path = "/get/Tidewell-3.0.tar.gz", .body = archive, .stallSeconds = kPause}, false,
         "Tidewell-3.0.tar.gz", true},
        {"without a length", {.path = "/get/Tidewell-3.0.tar.gz", .body = archive, .chunked = true}, false,
         "Tidewell-3.0.tar.gz", false},
        {"a name that climbs", {.path = "/get/..%2F..%2Fescape.tar.gz", .body = archive, .stallSeconds = kPause},
         false, "..%2F..%2Fescape.tar.gz", true},
        {"a name that is taken", {.path = "/get/Tidewell-3.0.tar.gz", .body = archive, .stallSeconds = kPause}, true,
         "*", true},
        {"not found", {.path = "/get/Tidewell-3.0.tar.gz", .status = 404, .body = "gone"}, false, "", false},
        {"cut short",
         {.path = "/get/Tidewell-3.0.tar.gz", .body = archive, .stallSeconds = kPause, .closeMidBody = 1000},
         false, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Downloads());
        std::filesystem::create_directories(Downloads());
        if (c.existing) mRoot.Write("home/Downloads/Tidewell-3.0.tar.gz", "mine");
        HttpPeer peer({c.route});
        StartUpdateDownload(peer.Url(c.route.path), nullptr);
        bool determinate = false;
        ASSERT_TRUE(RunEvents([&] {
            for (CDownloadUpdateWindow* window : CWindow::WindowsOfClass<CDownloadUpdateWindow>())
                if (!window->IsScheduledForCleanup()) determinate = determinate || window->IsDeterminate();
            return CSoftwareUpdaterThread::Current() == nullptr;
        }));
        EXPECT_EQ(determinate, c.determinate);
        ASSERT_EQ(Count<CUpdateResultWindow>(), 1u);
        CUpdateResultWindow* result = CWindow::WindowsOfClass<CUpdateResultWindow>().front();
        const std::string message = Text(*result, kProgressOrResult);

        std::vector<std::string> written;
        for (const auto& entry : std::filesystem::directory_iterator(Downloads()))
            if (crawltest::FileText(entry.path().string()) == archive) written.push_back(entry.path().filename());
        if (std::string(c.fileName).empty()) {
            EXPECT_TRUE(written.empty());
            EXPECT_EQ(message, "The update was not downloaded.");
        } else {
            ASSERT_EQ(written.size(), 1u);
            if (c.existing) {
                EXPECT_NE(written[0], "Tidewell-3.0.tar.gz");
                EXPECT_EQ(crawltest::FileText(Downloads() + "/Tidewell-3.0.tar.gz"), "mine");
            } else {
                EXPECT_EQ(written[0], c.fileName);
            }
            EXPECT_EQ(result->ArchivePath(), Downloads() + "/" + written[0]);
            EXPECT_EQ(message, "The archive was successfully downloaded to \"" + result->ArchivePath() +
                                   "\" and will now be opened so that you can replace this application by the update.");
            mSpawned.clear();
            Click(*result, kOK);
            ASSERT_EQ(mSpawned.size(), 1u);
            EXPECT_EQ(mSpawned[0].back(), result->ArchivePath());
        }
        EXPECT_FALSE(std::filesystem::exists(Root() + "/escape.tar.gz"));
        for (CWindow* window : std::vector<CWindow*>(CWindow::AllWindows())) delete window;
        DeleteScheduledObjects();
    }
}

// Cancel ends the download with a result; quitting ends it without one,
// and only after the transfer has let go.
TEST_F(SoftwareUpdate, CancelAndQuitEndTheDownload)
{
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "cancel");
        HttpPeer peer({{.path = "/big.tar.gz", .body = std::string(100000, 'q'),
                        .trickle = testsupport::HttpTrickle{.bytes = 100, .delaySeconds = 0.05}}});
        StartUpdateDownload(peer.Url("/big.tar.gz"), nullptr);
        ASSERT_TRUE(RunEvents([] {
            return CSoftwareUpdaterThread::Current() != nullptr && CSoftwareUpdaterThread::Current()->Received() > 0;
        }));
        CDownloadUpdateWindow* progress = CWindow::WindowsOfClass<CDownloadUpdateWindow>().front();
        Screenshot(*progress, "update_download");
        if (quit) {
            StopSoftwareUpdate();
            EXPECT_EQ(CSoftwareUpdaterThread::Current(), nullptr);
            EXPECT_EQ(Count<CUpdateResultWindow>(), 0u);
        } else {
            Click(*progress, kCancelDownload);
            ASSERT_TRUE(RunEvents([] { return CSoftwareUpdaterThread::Current() == nullptr; }));
            ASSERT_EQ(Count<CUpdateResultWindow>(), 1u);
            EXPECT_EQ(Text(*CWindow::WindowsOfClass<CUpdateResultWindow>().front(), kProgressOrResult),
                      "The download has been cancelled.");
        }
        EXPECT_EQ(Count<CDownloadUpdateWindow>(), 0u);
        EXPECT_TRUE(std::filesystem::is_empty(Downloads()));
        for (CWindow* window : std::vector<CWindow*>(CWindow::AllWindows())) delete window;
        DeleteScheduledObjects();
    }
}

}  // namespace
