// HTTPS against a self-signed certificate trusted through caFile only, and
// FTP through a pyftpdlib peer: status codes map to what the crawl expects.
#include <gtest/gtest.h>

#include "platform/net/blocking_transfer.h"
#include "platform/net/transfer_service.h"
#include "test_support.h"

namespace {

using namespace nettest;
using namespace std::chrono_literals;
using net::TransferOutcome;
using net::TransferRequest;

const char* const kHttpsPeer = R"(
import http.server, ssl
class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    def do_GET(self):
        body = ('secure ' + self.path).encode()
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[1], sys.argv[2])
server.socket = context.wrap_socket(server.socket, server_side=True)
server.handle_error = lambda request, address: None
print('PORT %d' % server.server_address[1], flush=True)
server.serve_forever()
)";

const char* const kFtpPeer = R"(
import logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.disable(logging.CRITICAL)
authorizer = DummyAuthorizer()
authorizer.add_anonymous(sys.argv[1])
FTPHandler.authorizer = authorizer
server = FTPServer(('127.0.0.1', 0), FTPHandler)
print('PORT %d' % server.socket.getsockname()[1], flush=True)
server.serve_forever()
)";

class HttpsTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeSelfSignedCertificate(folder_));
        peer_ = std::make_unique<PythonPeer>(kHttpsPeer,
                                             std::vector<std::string>{folder_.File("cert.pem"), folder_.File("cert-key.pem")});
        ASSERT_TRUE(peer_->Started());
    }
    std::string Url(const std::string& host, const std::string& path) const
    {
        return "https://" + host + ":" + std::to_string(peer_->Port()) + path;
    }

    TempFolder folder_;
    std::unique_ptr<PythonPeer> peer_;
};

TEST_F(HttpsTransfer, VerifiesThePeerAgainstTheGivenCaFile)
{
    struct Case {
        const char* name;
        std::string host;
        bool trustCa;
        bool fetched;
    };
    const Case cases[] = {
        {"trusted, by address", "127.0.0.1", true, true},
        {"trusted, by name", "localhost", true, true},
        {"not trusted", "127.0.0.1", false, false},
    };
    for (const Case& c : cases) {
        TransferRequest request;
        request.url = Url(c.host, "/doc");
        if (c.trustCa) request.caFile = folder_.File("cert.pem");
        RecordingSink sink;
        const net::TransferResult result = net::RunBlocking(request, sink);
        EXPECT_EQ(result.Fetched(), c.fetched) << c.name << ": " << result.errorText;
        if (c.fetched) {
            EXPECT_EQ(sink.body, "secure /doc") << c.name;
        } else {
            EXPECT_EQ(result.outcome, TransferOutcome::kFailed) << c.name;
            EXPECT_TRUE(sink.body.empty()) << c.name;
        }
    }
}

TEST_F(HttpsTransfer, WorksThroughTheService)
{
    net::TransferService service;
    for (int i = 0; i < 3; ++i) {
        TransferRequest request;
        request.url = Url("127.0.0.1", "/s" + std::to_string(i));
        request.caFile = folder_.File("cert.pem");
        RecordingSink sink;
        service.Submit(request, sink);
        ASSERT_TRUE(sink.WaitFinished(10s));
        EXPECT_TRUE(sink.result->Fetched()) << sink.result->errorText;
        EXPECT_EQ(sink.body, "secure /s" + std::to_string(i));
    }
}

TEST(FtpTransfer, MapsRepliesToHttpStatusCodes)
{
    TempFolder root;
    root.Write("file.txt", "ftp contents\n");
    PythonPeer peer(kFtpPeer, {root.Path()});
    ASSERT_TRUE(peer.Started());
    const std::string base = "ftp://127.0.0.1:" + std::to_string(peer.Port());
    struct Case {
        const char* name;
        std::string path;
        bool useService;
        int status;
        std::string body;
    };
    const Case cases[] = {
        {"file", "/file.txt", false, 200, "ftp contents\n"},
        {"missing file", "/missing.txt", false, 404, ""},
        {"file through the service", "/file.txt", true, 200, "ftp contents\n"},
        {"missing file through the service", "/missing.txt", true, 404, ""},
    };
    net::TransferService service;
    // Several rounds: a reused control connection must not hang while the
    // data connection is set up (libcurl sometimes arms no wakeup for it).
    for (int round = 0; round < 5; ++round) {
        for (const Case& c : cases) {
            TransferRequest request;
            request.url = base + c.path;
            request.stallTimeoutSeconds = 10;
            RecordingSink sink;
            if (c.useService) {
                service.Submit(request, sink);
                ASSERT_TRUE(sink.WaitFinished(3s)) << c.name << " in round " << round;
            } else {
                net::RunBlocking(request, sink);
            }
            ASSERT_TRUE(sink.result.has_value()) << c.name;
            EXPECT_EQ(sink.result->outcome, TransferOutcome::kCompleted) << c.name << ": " << sink.result->errorText;
            EXPECT_EQ(sink.result->statusCode, c.status) << c.name;
            EXPECT_EQ(sink.result->Fetched(), c.status == 200) << c.name;
            EXPECT_EQ(sink.body, c.body) << c.name;
            EXPECT_TRUE(sink.result->rawHeader.empty()) << c.name;
            EXPECT_EQ(sink.headerCalls, 0) << c.name;
        }
    }
}

}  // namespace
