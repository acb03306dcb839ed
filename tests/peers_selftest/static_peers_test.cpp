// nginx and the FTP peer serve a folder.
#include "tests/support/file_bytes.h"
#include "tests/support/ftp_peer.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/temp_dir.h"

#include "curl_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace testsupport;

namespace {

TEST(NginxPeer, ServesFilesOverOneConnection)
{
    TempDir dir;
    dir.Write("site/index.html", "<a href=\"p.css\">x</a>");
    dir.Write("site/p.css", "a{}");
    NginxPeer nginx(dir.File("site"));
    struct Case {
        const char* target;
        long status;
        std::string body;
        std::string contentType;
    };
    const Case cases[] = {
        {"/", 200, "<a href=\"p.css\">x</a>", "text/html"},
        {"/p.css", 200, "a{}", "text/css"},
        {"/missing.html", 404, "", "text/html"},
    };
    CurlSession session;
    long connections = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        CurlResult result = session.Perform(nginx.Url(c.target));
        EXPECT_EQ(result.code, CURLE_OK);
        EXPECT_EQ(result.status, c.status);
        connections += result.newConnections;
        if (c.status == 200) {
            EXPECT_EQ(result.body, c.body);
        }
        EXPECT_NE(result.head.find("Content-Type: " + c.contentType), std::string::npos) << result.head;
    }
    EXPECT_EQ(connections, 1);
    std::string access = nginx.AccessLog();
    EXPECT_NE(access.find("GET /p.css HTTP/1.1"), std::string::npos) << access;
    EXPECT_EQ(access.find("__nginx_peer_ready"), std::string::npos);
}

TEST(NginxPeer, TwoAtOnceGetTheirOwnPorts)
{
    TempDir dir;
    dir.Write("a/index.html", "A");
    dir.Write("b/index.html", "B");
    NginxPeer first(dir.File("a"));
    NginxPeer second(dir.File("b"));
    EXPECT_NE(first.Port(), second.Port());
    EXPECT_EQ(Fetch(first.Url("/")).body, "A");
    EXPECT_EQ(Fetch(second.Url("/")).body, "B");
}

TEST(FtpPeer, ListsAndRetrievesReadOnly)
{
    TempDir dir;
    dir.Write("pub/readme.txt", "read me\n");
    dir.Write("pub/docs/guide.txt", "guide\n");
    FtpPeer ftp(dir.File("pub"), "ann", "pw");
    struct Case {
        const char* name;
        std::string url;
        const char* userPassword;
        CURLcode code;
        std::string body;  // must appear in the answer
    };
    const Case cases[] = {
        {"anonymous list", ftp.Url("/"), nullptr, CURLE_OK, "readme.txt"},
        {"anonymous list of a folder", ftp.Url("/docs/"), nullptr, CURLE_OK, "guide.txt"},
        {"anonymous retrieve", ftp.Url("/readme.txt"), nullptr, CURLE_OK, "read me\n"},
        {"user retrieve", ftp.Url("/docs/guide.txt"), "ann:pw", CURLE_OK, "guide\n"},
        {"wrong password", ftp.Url("/readme.txt"), "ann:nope", CURLE_LOGIN_DENIED, ""},
        {"missing file", ftp.Url("/none.txt"), nullptr, CURLE_REMOTE_FILE_NOT_FOUND, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CurlResult result = Fetch(c.url, [&c](CURL* curl) {
            if (c.userPassword) curl_easy_setopt(curl, CURLOPT_USERPWD, c.userPassword);
        });
        EXPECT_EQ(result.code, c.code) << curl_easy_strerror(result.code);
        EXPECT_NE(result.body.find(c.body), std::string::npos) << result.body;
    }

    std::string upload = "new";
    CurlResult put = Fetch(ftp.Url("/new.txt"), [&upload](CURL* curl) {
        curl_easy_setopt(curl, CURLOPT_USERPWD, "ann:pw");
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, +[](char* out, size_t size, size_t count, void* data) -> size_t {
            auto* text = static_cast<std::string*>(data);
            size_t n = std::min(size * count, text->size());
            text->copy(out, n);
            text->erase(0, n);
            return n;
        });
    });
    EXPECT_NE(put.code, CURLE_OK);
    EXPECT_TRUE(ReadFileBytes(dir.File("pub/new.txt")).empty());
}

}  // namespace
