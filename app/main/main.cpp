// tidewell [ARG...]: opens one quicker grabber per argument (a location file,
// a URL, or any other text), in this instance or, when one runs already for
// this user, in that one.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main/outside_requests.h"
#include "app/main/single_instance.h"
#include "app/main/tidewell_app.h"
#include "foundation/system/bundle_info.h"
#include "foundation/threads/thread.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    char byte = 1;
    [[maybe_unused]] ssize_t written = write(gSignalPipe[1], &byte, 1);
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An installed program finds its resources beside it, in ../share/tidewell,
// unless the compiled-in folder or TIDEWELL_RESOURCES says otherwise.
void UseInstalledResources(const char* program)
{
    if (std::getenv("TIDEWELL_RESOURCES") != nullptr || IsFolder(TIDEWELL_RESOURCE_DIR)) return;
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string(program);
    std::string folder = path.substr(0, path.find_last_of('/') + 1) + "../share/tidewell";
    if (IsFolder(folder)) setenv("TIDEWELL_RESOURCES", folder.c_str(), 1);
}

void PrintUsage()
{
    std::printf("Usage: tidewell [ARG...]\n"
                "Grabs web sites for reading offline. Each ARG opens a quicker grabber:\n"
                "  a .webloc or .desktop location file, an http, https or ftp URL, or other text.\n"
                "A running Tidewell of the same user takes the arguments instead.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (argument == "--help" || argument == "-h")) {
            PrintUsage();
            return 0;
        } else if (!optionsEnd && argument == "--version") {
            std::printf("Tidewell %s\n", GetBundleShortVersion());
            return 0;
        } else {
            arguments.push_back(argument);
        }
    }
    UseInstalledResources(argv[0]);

    // Paths become absolute here: the running instance stands elsewhere.
    std::vector<SOutsideRequest> requests = ClassifyArguments(arguments);
    std::optional<std::string> socketPath = InstanceSocketPath();
    if (socketPath) {
        std::vector<std::string> texts;
        for (const SOutsideRequest& request : requests) texts.push_back(request.text);
        if (HandOverArguments(*socketPath, texts)) return 0;
    }

    // The session ends the program with a signal: it quits as from the menu,
    // without the question. Caught from here on, so none is lost while the
    // windows are being made.
    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        struct sigaction action{};
        action.sa_handler = &OnTerminate;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }

    int exitCode = 0;
    {
        CTidewellApp application(argc, argv);
        if (socketPath && !application.ListenForOtherInstances(*socketPath))
            std::fprintf(stderr, "tidewell: cannot listen on %s; later instances run on their own\n",
                         socketPath->c_str());
        // A signal that came early waits in the pipe until the loop reads it.
        if (gSignalPipe[0] >= 0) {
            auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, qApp);
            QObject::connect(notifier, &QSocketNotifier::activated, [&application] {
                char byte;
                while (read(gSignalPipe[0], &byte, 1) > 0) {
                }
                application.QuitWithoutAsking();
            });
        }
        QTimer::singleShot(0, qApp, [&application, requests] { application.HandleOutsideRequests(requests); });
        exitCode = application.Run();
    }
    // Threads that ignored their stop requests cannot be unwound: leave
    // without running them down.
    for (const CThread* thread : CThread::LiveThreads()) {
        if (!thread->IsFinished()) {
            std::fflush(nullptr);
            _exit(exitCode);
        }
    }
    return exitCode;
}
