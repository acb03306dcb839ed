#include "plugin/webpeek/gui_application.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QThread>

namespace webpeek {

namespace {

// QApplication keeps references to argc and argv for its whole life.
int gArgc = 1;
char* gArgv[] = {program_invocation_name, nullptr};
// Reachable for the life of the process, on purpose.
QApplication* gOwnApplication = nullptr;

}  // namespace
}  // namespace webpeek

// Present in sanitizer builds only.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

namespace webpeek {
namespace {

// The engine's threads stop only when the application is destroyed, which
// cannot be done once exit() has begun: Qt's static objects are already
// being destroyed in an order of their own. Left running, the threads use
// the heap while exit() frees it, and corrupt it. So the process ends here,
// before the static destructors, once the output is flushed.
void EndWithoutStaticDestructors(int status, void*)
{
    std::fflush(nullptr);
    if (__lsan_do_leak_check) __lsan_do_leak_check();
    _exit(status);
}

}  // namespace

void StartGuiApplication()
{
    if (QCoreApplication::instance()) return;
    // The web engine shares its GL contexts with the widgets; Qt wants this
    // set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    gOwnApplication = new QApplication(gArgc, gArgv);
    // Exit handlers run in reverse order: this one comes before those of the
    // libraries and static objects the application has set up so far.
    on_exit(EndWithoutStaticDestructors, nullptr);
}

bool GuiApplicationReady()
{
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application && application->thread() == QThread::currentThread();
}

void ReleasePendingObjects()
{
    if (GuiApplicationReady()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace webpeek
