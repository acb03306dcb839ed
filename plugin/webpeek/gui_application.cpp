#include "plugin/webpeek/gui_application.h"

#include <cerrno>

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

void StartGuiApplication()
{
    if (QCoreApplication::instance()) return;
    // The web engine shares its GL contexts with the widgets; Qt wants this
    // set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    gOwnApplication = new QApplication(gArgc, gArgv);
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
