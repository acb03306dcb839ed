#include "tests/support/ftp_peer.h"

namespace testsupport {

FtpPeer::FtpPeer(std::string root, std::string user, std::string password, double lifetimeSeconds)
    : mUser(std::move(user)), mPassword(std::move(password))
{
    std::vector<std::string> args = {"--root", root, "--lifetime", std::to_string(lifetimeSeconds)};
    if (!mUser.empty()) args.insert(args.end(), {"--user", mUser, "--password", mPassword});
    mProcess = std::make_unique<PeerProcess>(PythonPeerArgv("ftp_peer.py", std::move(args)));
    mPort = mProcess->ReadPortLine();
}

std::string FtpPeer::BaseUrl() const
{
    return "ftp://127.0.0.1:" + std::to_string(mPort);
}

std::string FtpPeer::Url(std::string_view path) const
{
    return BaseUrl() + std::string(path);
}

}  // namespace testsupport
