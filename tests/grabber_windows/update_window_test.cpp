#include <gtest/gtest.h>

#include "app/framework/cleanup.h"
#include "app/windows/update/open_update_window.h"
#include "app/windows/update/update_iterator_window.h"
#include "app/windows/update/update_layout.h"
#include "foundation/files/file.h"
#include "tests/grabber_windows/window_test_support.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"

namespace {

using namespace updatewindow;
using testsupport::HttpPeer;

class UpdateWindow : public gwtest::WindowTest {
protected:
    void TearDown() override
    {
        CUpdateIteratorWindow::SetFolderChooser({});
        WindowTest::TearDown();
    }
    // A saved file whose comment names the URL it came from; false when the
    // file system keeps no user attributes.
    bool SavedFile(const std::string& name, const std::string& url)
    {
        const std::string path = mRoot.Write("saved/" + name, "old bytes of " + name);
        return CFile::SetFinderComment(CFileRef(path), url.c_str()).Ok();
    }
    CUpdateIteratorWindow* OpenOn(const std::string& folder)
    {
        CUpdateIteratorWindow::SetFolderChooser([folder] { return folder; });
        CUpdateIteratorWindow* window = OpenUpdateWindow(nullptr);
        EXPECT_FALSE(IsEnabled(*window, kStart)) << "nothing to update before a folder is chosen";
        Click(*window, kChooseFolder);
        EXPECT_EQ(Text(*window, kFolder), folder);
        return window;
    }
};

TEST_F(UpdateWindow, RefreshesAMirrorWhoseSiteChanged)
{
    const std::string site = mRoot.MakeFolder("site");
    mRoot.Write("site/index.html", "<html>home, second edition</html>");
    mRoot.Write("site/docs/guide.html", "<html>guide, second edition</html>");
    testsupport::NginxPeer nginx(site);
    if (!SavedFile("index.html", nginx.Url("/index.html"))) GTEST_SKIP() << "no user attributes here";
    ASSERT_TRUE(SavedFile("docs/guide.html", nginx.Url("/docs/guide.html")));
    ASSERT_TRUE(SavedFile("docs/gone.html", nginx.Url("/docs/gone.html")));

    CUpdateIteratorWindow* window = OpenOn(mRoot.File("saved"));
    Click(*window, kStart);
    EXPECT_FALSE(IsEnabled(*window, kStart));
    EXPECT_TRUE(IsEnabled(*window, kStop));
    ASSERT_TRUE(RunEvents([&] { return !window->IsUpdating(); }));
    Screenshot(*window, "update_window_done");

    EXPECT_EQ(crawltest::FileText(mRoot.File("saved/index.html")), "<html>home, second edition</html>");
    EXPECT_EQ(crawltest::FileText(mRoot.File("saved/docs/guide.html")), "<html>guide, second edition</html>");
    EXPECT_EQ(crawltest::FileText(mRoot.File("saved/docs/gone.html")), "old bytes of docs/gone.html")
        << "an error page never replaces a file";
    const std::string log = Text(*window, kText);
    EXPECT_NE(log.find("URL = " + nginx.Url("/docs/guide.html")), std::string::npos) << log;
    EXPECT_NE(log.find("Done."), std::string::npos) << log;
    EXPECT_TRUE(IsEnabled(*window, kStart));
    EXPECT_FALSE(IsEnabled(*window, kStop));
    EXPECT_FALSE(window->FindPaneByID(kSpin)->IsVisible());
}

// Stop and close both end an update that waits for a slow server; closing
// waits for the thread before the window goes.
TEST_F(UpdateWindow, StopAndCloseEndAnUpdateInProgress)
{
    for (bool close : {false, true}) {
        SCOPED_TRACE(close ? "close" : "stop");
        HttpPeer peer({{.path = "/slow.html", .body = "new", .stallSeconds = 30}});
        if (!SavedFile("slow.html", peer.Url("/slow.html"))) GTEST_SKIP() << "no user attributes here";
        CUpdateIteratorWindow* window = OpenOn(mRoot.File("saved"));
        Click(*window, kStart);
        ASSERT_TRUE(RunEvents([&] { return !peer.Requests().empty(); }));
        if (close) {
            EXPECT_TRUE(window->AttemptClose());
            DeleteScheduledObjects();
            EXPECT_TRUE(CWindow::WindowsOfClass<CUpdateIteratorWindow>().empty());
        } else {
            Click(*window, kStop);
            EXPECT_FALSE(window->IsUpdating());
            EXPECT_TRUE(IsEnabled(*window, kStart));
            EXPECT_FALSE(IsEnabled(*window, kStop));
            delete window;
        }
        EXPECT_EQ(crawltest::FileText(mRoot.File("saved/slow.html")), "old bytes of slow.html");
    }
}

}  // namespace
