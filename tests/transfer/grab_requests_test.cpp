// What the crawl's requests carry and where: credentials and cookies only to
// their own site, HTTPS, FTP answers, refused schemes and reused
// connections, through both the grab path and the HTTP client.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "engine/transfer/http_request.h"
#include "engine/transfer/transfer_environment.h"
#include "engine/url/url_record.h"
#include "tests/support/ftp_peer.h"
#include "tests/support/http_peer.h"
#include "tests/support/self_signed_cert.h"
#include "tests/support/temp_dir.h"
#include "tests/transfer/transfer_test_support.h"

namespace {

using namespace transfertest;
using namespace std::chrono_literals;
using testsupport::HttpPeer;
using testsupport::HttpRealm;
using testsupport::HttpRequestRecord;
using Clock = std::chrono::steady_clock;

// One way of fetching a record, as the crawl uses them.
struct SFetchPath {
    const char* name;
    std::function<std::uint8_t(CURL&, CRecordingGrabber&, const char* user, const char* password)> fetch;
};

const std::vector<SFetchPath>& FetchPaths()
{
    static const std::vector<SFetchPath> paths = {
        {"grab", [](CURL& url, CRecordingGrabber& grabber, const char* user,
                    const char* password) { return url.Grab(&grabber, &grabber, "TransferTest/1.0", user, password); }},
        {"client", [](CURL& url, CRecordingGrabber&, const char* user,
                      const char* password) { return url.Fetch("TransferTest/1.0", user, password, 5); }},
    };
    return paths;
}

std::uint8_t FetchOnThread(const SFetchPath& path, CURL& url, CRecordingGrabber& grabber, const char* user = "",
                           const char* password = "")
{
    std::uint8_t fetched = 0;
    EXPECT_TRUE(RunOnThread([&] { fetched = path.fetch(url, grabber, user, password); }));
    return fetched;
}

std::string Body(const CURL& url)
{
    std::string body;
    EXPECT_TRUE(url.mBody.CopyTo(body));
    return body;
}

class GrabRequests : public testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(DrainThreads()); }
};

TEST_F(GrabRequests, BasicAuthorizationCarriesTheExactBytes)
{
    HttpPeer peer({{.path = "/members", .body = "welcome",
                    .realm = HttpRealm{"Members", "Aladdin", "open sesame"}}});
    for (const SFetchPath& path : FetchPaths()) {
        SCOPED_TRACE(path.name);
        CRecordingGrabber grabber;
        CURL url(peer.Url("/members"));
        EXPECT_EQ(FetchOnThread(path, url, grabber, "Aladdin", "open sesame"), 1);
        EXPECT_EQ(url.mStatusCode, 200);
        EXPECT_EQ(Body(url), "welcome");
        const HttpRequestRecord request = peer.Requests().back();
        EXPECT_EQ(request.Header("Authorization").value_or(""), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");

        CURL anonymous(peer.Url("/members"));
        EXPECT_EQ(FetchOnThread(path, anonymous, grabber), 1);
        EXPECT_EQ(anonymous.mStatusCode, 401);
        EXPECT_EQ(anonymous.mRealm, "Members");
        EXPECT_FALSE(peer.Requests().back().Header("Authorization"));
    }
}

// The configuration's site login goes to the crawl's start host only.
TEST_F(GrabRequests, TheSiteLoginStaysWithTheStartHost)
{
    HttpPeer site({{.path = "/a", .body = "site"}});
    HttpPeer elsewhere({{.path = "/a", .body = "elsewhere"}});
    struct Case {
        const char* name;
        bool quicker;
        HttpPeer* peer;
        bool expectLogin;
    };
    const std::vector<Case> cases = {
        {"grabber, start host", false, &site, true},
        {"grabber, other host", false, &elsewhere, false},
        {"quicker, start host", true, &site, true},
        {"quicker, other host", true, &elsewhere, false},
    };
    const std::string startHost = "127.0.0.1:" + std::to_string(site.Port());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CRecordingGrabber grabber;
        CRecordingQuickGrabber quicker;
        for (CCrawlOwner* owner : {static_cast<CCrawlOwner*>(&grabber), static_cast<CCrawlOwner*>(&quicker)}) {
            auto* configuration = const_cast<CConfiguration*>(owner->GetConfiguration());
            configuration->mSiteLogin.siteUsername = "ann";
            configuration->mSiteLogin.sitePassword = "secret";
        }
        grabber.crawlRunning = quicker.crawlRunning = true;
        grabber.startHost = quicker.startHost = startHost;
        CURL url(test.peer->Url("/a"));
        ASSERT_TRUE(RunOnThread([&] {
            if (test.quicker) EXPECT_EQ(url.FetchAuthorized(&quicker, &quicker, "TransferTest/1.0", 5), 1);
            else EXPECT_EQ(url.GrabWithLogin(&grabber, &grabber, "TransferTest/1.0"), 1);
        }));
        const auto authorization = test.peer->Requests().back().Header("Authorization");
        EXPECT_EQ(authorization.has_value(), test.expectLogin);
    }
}

// Cookies set by a response go back to the hosts of their domain only, one
// Cookie line each; a Domain the setting host may not name drops the cookie.
TEST_F(GrabRequests, CookiesGoOnlyToTheirOwnHost)
{
    HttpPeer peer({{.path = "/set", .body = "set",
                    .setCookies = {"a=1; Path=/", "b=2; Path=/", "wide=3; Path=/; Domain=localhost",
                                   "other=4; Path=/; Domain=127.0.0.2", "self=5; Path=/; Domain=127.0.0.1",
                                   "tld=6; Path=/; Domain=.0.0.1"}},
                   {.path = "/page", .body = "page"}});
    HttpPeer second({{.path = "/page", .body = "page"}}, {.host = "127.0.0.2"});
    const std::string port = std::to_string(peer.Port());
    for (const bool quicker : {false, true}) {
        SCOPED_TRACE(quicker ? "quicker" : "grabber");
        CRecordingGrabber grabber;
        CRecordingQuickGrabber quick;
        grabber.crawlRunning = quick.crawlRunning = true;
        grabber.startHost = quick.startHost = "127.0.0.1:" + port;
        auto fetch = [&](const std::string& text) {
            CURL url(text);
            ASSERT_TRUE(RunOnThread([&] {
                if (quicker) EXPECT_EQ(url.FetchWithProgress(&quick, &quick, "TransferTest/1.0", "", "", 5), 1);
                else EXPECT_EQ(url.Grab(&grabber, &grabber, "TransferTest/1.0", "", ""), 1);
            }));
        };
        fetch("http://127.0.0.1:" + port + "/set");
        EXPECT_EQ((quicker ? quick.cookies : grabber.cookies).CountCookies(), 3);

        fetch("http://127.0.0.1:" + port + "/page");
        // One Cookie line for all of them, as servers that read one expect.
        EXPECT_EQ(peer.Requests().back().HeaderValues("Cookie"), (std::vector<std::string>{"a=1; b=2; self=5"}));

        fetch("http://localhost:" + port + "/page");
        EXPECT_TRUE(peer.Requests().back().HeaderValues("Cookie").empty());

        fetch(second.Url("/page"));
        ASSERT_FALSE(second.Requests().empty());
        EXPECT_TRUE(second.Requests().back().HeaderValues("Cookie").empty());
    }
}

TEST_F(GrabRequests, HttpsTrustsOnlyTheGivenAuthority)
{
    testsupport::TempDir folder;
    const testsupport::SelfSignedCert cert = testsupport::MakeSelfSignedCert(folder.Path());
    HttpPeer peer({{.path = "/secure", .body = "sealed"}}, {.tlsCertFile = cert.certFile, .tlsKeyFile = cert.keyFile});
    for (const SFetchPath& path : FetchPaths()) {
        SCOPED_TRACE(path.name);
        CRecordingGrabber grabber;
        SetTrustedCAFile(cert.certFile);
        CURL trusted(peer.Url("/secure"));
        EXPECT_EQ(trusted.mScheme, kSchemeHTTPS);
        EXPECT_EQ(FetchOnThread(path, trusted, grabber), 1);
        EXPECT_EQ(Body(trusted), "sealed");
        EXPECT_TRUE(peer.Requests().back().tls);

        SetTrustedCAFile("");
        CURL untrusted(peer.Url("/secure"));
        EXPECT_EQ(FetchOnThread(path, untrusted, grabber), 0);
    }
    SetTrustedCAFile("");
}

// An FTP answer reads as a status the crawl understands, so a file is saved
// and a missing one is not.
TEST_F(GrabRequests, FtpAnswersCarryAStatus)
{
    testsupport::TempDir root;
    root.Write("pub/readme.txt", "plain text over ftp");
    testsupport::FtpPeer peer(root.Path());
    for (const SFetchPath& path : FetchPaths()) {
        SCOPED_TRACE(path.name);
        CRecordingGrabber grabber;
        CURL file(peer.Url("/pub/readme.txt"));
        EXPECT_EQ(FetchOnThread(path, file, grabber), 1);
        EXPECT_EQ(file.mStatusCode, 200);
        EXPECT_EQ(file.mStatusLine.str(), "HTTP/1.0 200 OK");
        EXPECT_EQ(file.mContentLength, "19");
        EXPECT_EQ(Body(file), "plain text over ftp");

        CURL missing(peer.Url("/pub/missing.txt"));
        EXPECT_EQ(FetchOnThread(path, missing, grabber), 1);
        EXPECT_EQ(missing.mStatusCode, 404);
    }
}

// Nothing but http, https and ftp is ever requested; the case of the scheme
// does not matter.
TEST_F(GrabRequests, OtherSchemesAreRefusedWithoutARequest)
{
    HttpPeer peer({{.path = "/x", .body = "x"}});
    const std::vector<std::string> refused = {"mailto:someone@example.com", "file:///etc/hostname",
                                              "gopher://127.0.0.1:" + std::to_string(peer.Port()) + "/x"};
    for (const std::string& text : refused) {
        SCOPED_TRACE(text);
        for (const SFetchPath& path : FetchPaths()) {
            CRecordingGrabber grabber;
            CURL url(text);
            EXPECT_EQ(FetchOnThread(path, url, grabber), 0);
        }
        CURL head(text);
        ASSERT_TRUE(RunOnThread([&] { EXPECT_EQ(head.FetchHead("TransferTest/1.0", "", "", 5), 0); }));
        HTTPRequest request(5, false);
        EXPECT_EQ(request.StartGet(text, "TransferTest/1.0", "", "").Code(), 0);
        EXPECT_TRUE(request.mThreadDone);
        EXPECT_FALSE(request.Succeeded());
    }
    EXPECT_TRUE(peer.Requests().empty());

    CRecordingGrabber grabber;
    CURL capitals("HTTP://127.0.0.1:" + std::to_string(peer.Port()) + "/x");
    EXPECT_EQ(FetchOnThread(FetchPaths()[1], capitals, grabber), 1);
}

TEST_F(GrabRequests, SequentialRequestsShareOneConnection)
{
    HttpPeer peer({{.path = "/1", .body = "one"}, {.path = "/2", .body = "two"}, {.path = "/3", .body = "three"}});
    for (const SFetchPath& path : FetchPaths()) {
        SCOPED_TRACE(path.name);
        const std::size_t before = peer.Requests().size();
        for (const char* page : {"/1", "/2", "/3"}) {
            CRecordingGrabber grabber;
            CURL url(peer.Url(page));
            EXPECT_EQ(FetchOnThread(path, url, grabber), 1);
        }
        const std::vector<HttpRequestRecord> requests = peer.Requests();
        ASSERT_EQ(requests.size(), before + 3);
        EXPECT_EQ(requests[before + 1].connection, requests[before].connection);
        EXPECT_EQ(requests[before + 2].connection, requests[before].connection);
    }
}

}  // namespace
