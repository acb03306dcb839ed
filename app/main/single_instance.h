// One running Tidewell per user. The first instance listens on a local
// socket in the user's runtime folder ($XDG_RUNTIME_DIR/tidewell/instance,
// a folder only the user can enter); a later `tidewell ARG...` hands its
// arguments to it and exits. The listener also checks that each peer runs as
// the same user.
//
// Wire format: "TIDEWELL-ARGS <count>\n", then the arguments, each followed
// by a NUL byte; the listener answers "OK\n" once it has queued them.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The socket's path; nothing when $XDG_RUNTIME_DIR is unset or is not a
// folder of this user's that only the user may enter (then every instance
// runs on its own).
std::optional<std::string> InstanceSocketPath();

// A second instance's side, in plain POSIX calls (before any Qt is made).
// True when a running instance took the arguments.
bool HandOverArguments(const std::string& socketPath, const std::vector<std::string>& arguments);

// The first instance's side; lives on the GUI thread.
class CInstanceServer {
public:
    using Handler = std::function<void(const std::vector<std::string>& arguments)>;
    explicit CInstanceServer(Handler handler);
    ~CInstanceServer();
    // Listens at the path, replacing a socket that no instance answers on.
    bool Listen(const std::string& socketPath);

private:
    struct SImpl;
    std::unique_ptr<SImpl> mImpl;
};

std::string JoinHandedArguments(const std::vector<std::string>& arguments);
// The arguments once all have arrived; nothing while some are missing or
// when the bytes are not in the wire format.
std::optional<std::vector<std::string>> SplitHandedArguments(const std::string& bytes);
