// peek-host: a small host for trying the plug-in by hand and in tests. It
// loads libwebpeek.so (beside itself, or --library PATH) with dlopen and runs
// the commands on its command line in order, printing one line per result:
//
//   init | term                      InitializeWebpeek / TerminateWebpeek
//   window NIB NAME show|hide        CreateWebWindow        -> "window N" | "window null"
//   select N                         makes window N the current one
//   load URL                         Webpeek                -> "loaded 1|0"
//   load-into window|null URL        Webpeek on a handle that is no web view
//   size                             GetDocumentViewSize    -> "size W H" (-1 -1: unchanged)
//   size-of window|null              the same on a handle that is no web view
//   resize W H                       -> "fills 1|0 W H": the view against the content area
//   close | show                     -> "visible 1|0"
//   grab FILE                        saves a picture of the window once the page
//                                    shows on it -> "grab W H painted 1|0"
//
// Once the plug-in has started the application, the remaining commands run
// from its event loop, as they would in a Qt host; should closing a window
// end that loop, "last window closed" is printed and the rest is not run.
//
// With a single URL argument it opens the built-in window, loads the URL and
// prints its document size. The plug-in's system-log lines are copied to
// standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <dlfcn.h>
#include <syslog.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "plugin/webpeek/webpeek.h"

namespace {

struct Plugin {
    void (*initialize)() = nullptr;
    void (*terminate)() = nullptr;
    WebpeekView* (*createWebWindow)(const char*, const char*, bool, WebpeekWindow**) = nullptr;
    void (*webpeek)(WebpeekView*, const char*) = nullptr;
    void (*getDocumentViewSize)(WebpeekView*, int*, int*) = nullptr;
    bool* loaded = nullptr;
};

template <typename Pointer>
bool Resolve(void* library, const char* name, Pointer& pointer)
{
    pointer = reinterpret_cast<Pointer>(dlsym(library, name));
    if (!pointer) std::fprintf(stderr, "peek-host: %s is missing from the plug-in\n", name);
    return pointer != nullptr;
}

std::string LibraryBesideMe()
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "libwebpeek.so";
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "libwebpeek.so";
}

bool LoadPlugin(const std::string& path, Plugin& plugin)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "peek-host: %s\n", dlerror());
        return false;
    }
    return Resolve(library, "InitializeWebpeek", plugin.initialize) &&
           Resolve(library, "TerminateWebpeek", plugin.terminate) &&
           Resolve(library, "CreateWebWindow", plugin.createWebWindow) &&
           Resolve(library, "Webpeek", plugin.webpeek) &&
           Resolve(library, "GetDocumentViewSize", plugin.getDocumentViewSize) &&
           Resolve(library, "gLoaded", plugin.loaded);
}

struct Window {
    WebpeekWindow* window = nullptr;
    WebpeekView* view = nullptr;
    // The handles are the window's and the view's widgets (see webpeek.h).
    QWidget* Widget() const { return reinterpret_cast<QWidget*>(window); }
    QWidget* ViewWidget() const { return reinterpret_cast<QWidget*>(view); }
};

void SettleEvents()
{
    // Layouts and resizes arrive as posted events; two rounds carry a
    // window's resize down to its central widget's children.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

bool Painted(const QImage& picture)
{
    const QRgb first = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != first) return true;
    return false;
}

// The engine draws some frames after the load has finished, so the picture
// is taken again until something shows (or a generous bound passes).
QPixmap GrabPainted(QWidget& window, bool& painted)
{
    constexpr qint64 kPatienceMs = 20000;
    QElapsedTimer waited;
    waited.start();
    QPixmap picture = window.grab();
    while (!(painted = Painted(picture.toImage())) && waited.elapsed() < kPatienceMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        usleep(20000);
        picture = window.grab();
    }
    return picture;
}

class Host {
public:
    explicit Host(const Plugin& plugin) : mPlugin(plugin) {}

    // Runs the commands from `at` on; false on a malformed command line.
    bool Run(const std::vector<std::string_view>& args, size_t at = 0)
    {
        while (at < args.size()) {
            if (!mInEventLoop && QCoreApplication::instance()) return RunInEventLoop(args, at);
            const std::string_view command = args[at++];
            const size_t wanted = Arity(command);
            if (wanted == kUnknown || at + wanted > args.size()) {
                std::fprintf(stderr, "peek-host: bad command '%.*s'\n", int(command.size()), command.data());
                return false;
            }
            std::vector<std::string> operands(args.begin() + long(at), args.begin() + long(at + wanted));
            at += wanted;
            if (!Do(command, operands)) return false;
            std::fflush(stdout);
        }
        return true;
    }

    void CloseWindows()
    {
        for (auto& window : mWindows) delete window.Widget();
        mWindows.clear();
    }

private:
    static constexpr size_t kUnknown = 99;

    bool RunInEventLoop(const std::vector<std::string_view>& args, size_t at)
    {
        mInEventLoop = true;
        bool ran = false;
        bool finished = false;
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [] { std::printf("last window closed\n"); });
        QTimer::singleShot(0, qApp, [&] {
            ran = Run(args, at);
            finished = true;
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
        return ran && finished;
    }

    static size_t Arity(std::string_view command)
    {
        if (command == "init" || command == "term" || command == "size" || command == "close" || command == "show")
            return 0;
        if (command == "load" || command == "select" || command == "size-of" || command == "grab") return 1;
        if (command == "resize" || command == "load-into") return 2;
        if (command == "window") return 3;
        return kUnknown;
    }

    bool HaveWindow() const
    {
        if (mCurrent < mWindows.size()) return true;
        std::fprintf(stderr, "peek-host: no window yet\n");
        return false;
    }

    WebpeekView* NotAWebView(const std::string& which) const
    {
        if (which == "window" && HaveWindow()) return reinterpret_cast<WebpeekView*>(mWindows[mCurrent].window);
        return nullptr;
    }

    void PrintVisible() const { std::printf("visible %d\n", mWindows[mCurrent].Widget()->isVisible() ? 1 : 0); }

    bool Do(std::string_view command, const std::vector<std::string>& operands)
    {
        if (command == "init") {
            mPlugin.initialize();
        } else if (command == "term") {
            mPlugin.terminate();
        } else if (command == "window") {
            Window made;
            made.view = mPlugin.createWebWindow(operands[0].c_str(), operands[1].c_str(), operands[2] == "show",
                                                &made.window);
            if (!made.view) {
                std::printf("window null\n");
                return true;
            }
            mWindows.push_back(made);
            mCurrent = mWindows.size() - 1;
            std::printf("window %zu\n", mCurrent);
        } else if (command == "select") {
            mCurrent = std::strtoul(operands[0].c_str(), nullptr, 10);
            return HaveWindow();
        } else if (command == "load" || command == "load-into") {
            const bool ownView = command == "load";
            if (ownView && !HaveWindow()) return false;
            WebpeekView* view = ownView ? mWindows[mCurrent].view : NotAWebView(operands[0]);
            mPlugin.webpeek(view, operands.back().c_str());
            std::printf("loaded %d\n", *mPlugin.loaded ? 1 : 0);
        } else if (command == "size" || command == "size-of") {
            if (command == "size" && !HaveWindow()) return false;
            WebpeekView* view = command == "size" ? mWindows[mCurrent].view : NotAWebView(operands[0]);
            int width = -1;
            int height = -1;
            mPlugin.getDocumentViewSize(view, &width, &height);
            std::printf("size %d %d\n", width, height);
        } else if (command == "resize") {
            if (!HaveWindow()) return false;
            const Window& window = mWindows[mCurrent];
            window.Widget()->resize(std::atoi(operands[0].c_str()), std::atoi(operands[1].c_str()));
            SettleEvents();
            const QWidget* view = window.ViewWidget();
            const bool fills = view->geometry() == view->parentWidget()->rect();
            std::printf("fills %d %d %d\n", fills ? 1 : 0, view->width(), view->height());
        } else if (command == "close" || command == "show") {
            if (!HaveWindow()) return false;
            if (command == "close")
                mWindows[mCurrent].Widget()->close();
            else
                mWindows[mCurrent].Widget()->show();
            SettleEvents();
            PrintVisible();
        } else if (command == "grab") {
            if (!HaveWindow()) return false;
            bool painted = false;
            const QPixmap picture = GrabPainted(*mWindows[mCurrent].Widget(), painted);
            if (!picture.save(QString::fromStdString(operands[0]))) {
                std::fprintf(stderr, "peek-host: cannot save %s\n", operands[0].c_str());
                return false;
            }
            std::printf("grab %d %d painted %d\n", picture.width(), picture.height(), painted ? 1 : 0);
        }
        return true;
    }

    const Plugin& mPlugin;
    std::vector<Window> mWindows;
    size_t mCurrent = 0;
    bool mInEventLoop = false;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string library = LibraryBesideMe();
    if (args.size() >= 2 && args[0] == "--library") {
        library = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        std::fprintf(stderr, "usage: peek-host [--library PATH] URL | COMMAND...\n");
        return 2;
    }
    if (args.size() == 1 && args[0].find("://") != std::string_view::npos)
        args = {"init", "window", "Webpeek", "WebWindow", "show", "load", args[0], "size", "term"};

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    openlog("peek-host", LOG_PERROR, LOG_USER);
    Plugin plugin;
    if (!LoadPlugin(library, plugin)) return 2;
    Host host(plugin);
    const bool ran = host.Run(args);
    host.CloseWindows();
    return ran ? 0 : 2;
}
