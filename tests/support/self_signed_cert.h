// A throw-away certificate for the TLS peers, made by the openssl command.
#pragma once

#include <string>

namespace testsupport {

struct SelfSignedCert {
    std::string certFile{};  // PEM; clients trust it as their CA file
    std::string keyFile{};   // PEM, unencrypted
};

// Writes peer-cert.pem and peer-key.pem into `folder`: an EC P-256 key and a
// certificate for CN 127.0.0.1 with the names IP:127.0.0.1 and localhost,
// valid for two days. Throws std::runtime_error with openssl's output.
SelfSignedCert MakeSelfSignedCert(const std::string& folder);

}  // namespace testsupport
