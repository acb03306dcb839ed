#include "tests/support/smtp_peer.h"

#include "tests/support/file_bytes.h"
#include "tests/support/json_value.h"
#include "tests/support/self_signed_cert.h"

#include <stdexcept>

namespace testsupport {

namespace {

const char* ModeName(SmtpMode mode)
{
    switch (mode) {
    case SmtpMode::kPlain: return "plain";
    case SmtpMode::kAuth: return "auth";
    case SmtpMode::kStartTls: return "starttls";
    }
    return "plain";
}

}  // namespace

SmtpPeer::SmtpPeer(SmtpPeerOptions options)
{
    std::vector<std::string> args = {"--out", mDir.MakeFolder("mail"), "--mode", ModeName(options.mode),
                                     "--lifetime", std::to_string(options.lifetimeSeconds)};
    if (options.mode == SmtpMode::kAuth && options.user.empty())
        throw std::invalid_argument("the SMTP auth mode needs a user");
    if (!options.user.empty()) args.insert(args.end(), {"--user", options.user, "--password", options.password});
    if (options.mode == SmtpMode::kStartTls) {
        if (options.tlsCertFile.empty()) {
            SelfSignedCert cert = MakeSelfSignedCert(mDir.Path());
            options.tlsCertFile = cert.certFile;
            options.tlsKeyFile = cert.keyFile;
        }
        mCertFile = options.tlsCertFile;
        args.insert(args.end(), {"--tls-cert", options.tlsCertFile, "--tls-key", options.tlsKeyFile});
    }
    mProcess = std::make_unique<PeerProcess>(PythonPeerArgv("smtp_peer.py", std::move(args)));
    mPort = mProcess->ReadPortLine();
}

std::string SmtpPeer::Url() const
{
    return "smtp://127.0.0.1:" + std::to_string(mPort);
}

std::vector<SmtpMessage> SmtpPeer::Messages() const
{
    std::vector<SmtpMessage> messages;
    for (const auto& record : ReadJsonLines(mDir.File("mail/messages.jsonl"))) {
        SmtpMessage message;
        message.file = mDir.File("mail/" + record["file"].AsString());
        message.content = ReadFileBytes(message.file);
        message.mailFrom = record["mail_from"].IsString() ? record["mail_from"].AsString() : "";
        for (const auto& rcpt : record["rcpt_tos"].AsArray()) message.rcptTo.push_back(rcpt.AsString());
        if (record["authenticated_as"].IsString()) message.authenticatedAs = record["authenticated_as"].AsString();
        message.tls = record["tls"].AsBool();
        messages.push_back(std::move(message));
    }
    return messages;
}

std::string SmtpPeer::Transcript() const
{
    return ReadFileBytes(mDir.File("mail/transcript.txt"));
}

}  // namespace testsupport
