// The SMTP peer (tests/peers/smtp_peer.py): receives mail on 127.0.0.1 and
// keeps every message and the whole conversation for the test to read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

enum class SmtpMode {
    kPlain,     // no AUTH offered
    kAuth,      // AUTH PLAIN and LOGIN without TLS, required before MAIL
    kStartTls,  // STARTTLS required before MAIL; AUTH after it when a user is set
};

struct SmtpPeerOptions {
    SmtpMode mode = SmtpMode::kPlain;
    std::string user{};         // needed by kAuth
    std::string password{};
    std::string tlsCertFile{};  // kStartTls: made in the peer's folder when empty
    std::string tlsKeyFile{};
    double lifetimeSeconds = 120;
};

struct SmtpMessage {
    std::string file{};             // path of the .eml
    std::string content{};          // DATA as received, dot-unstuffed
    std::string mailFrom{};
    std::vector<std::string> rcptTo{};
    std::string authenticatedAs{};  // empty when no AUTH
    bool tls = false;
};

class SmtpPeer {
public:
    explicit SmtpPeer(SmtpPeerOptions options = {});

    int Port() const { return mPort; }
    // "smtp://127.0.0.1:PORT".
    std::string Url() const;
    // The certificate a STARTTLS client should trust.
    const std::string& CertFile() const { return mCertFile; }

    // Messages received so far, in order.
    std::vector<SmtpMessage> Messages() const;
    // "S: 220 ...", "C: EHLO ...", "-- connection 1", "-- TLS started" lines.
    std::string Transcript() const;

    PeerProcess& Process() { return *mProcess; }

private:
    TempDir mDir;
    std::string mCertFile;
    std::unique_ptr<PeerProcess> mProcess;
    int mPort = 0;
};

}  // namespace testsupport
