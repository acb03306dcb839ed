#include "app/framework/application.h"

#include <QApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include <atomic>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/last_window.h"
#include "app/framework/posted_call.h"
#include "app/framework/scheduler_driver.h"
#include "app/framework/window.h"

// The application's side of Qt events: "an event was handled" ticks, posted
// so the attachments run from the top of the main loop, never from inside a
// handler that is still on the stack.
class CApplicationEvents : public QObject {
public:
    explicit CApplicationEvents(CApplication& application)
        : mApplication(application), mTick([this] { Tick(); })
    {
        qApp->installEventFilter(this);
    }
    ~CApplicationEvents() override { qApp->removeEventFilter(this); }

    void PostTick() { mTick.Post(); }
    // After a scheduler pass, which the main loop runs from its top with
    // every fiber switched out: the tick runs there and then. Posting it
    // would cost the loop a wake-up and a turn per pass, that is per request
    // of a crawl.
    void TickAfterPass() { Tick(); }

    void Tick()
    {
        // Inside a modal loop an object's code may still be on the stack
        // below us: the tick waits for the main loop.
        if (QThread::currentThread()->loopLevel() > 1) {
            mDeferred = true;
            return;
        }
        mApplication.EventHandled();
    }

    // Input from the user counts as an event; so does the end of a modal loop.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::KeyRelease:
        case QEvent::Close:
            PostTick();
            break;
        default:
            if (mDeferred && QThread::currentThread()->loopLevel() <= 1) {
                mDeferred = false;
                PostTick();
            }
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CApplication& mApplication;
    CPostedCall mTick;
    bool mDeferred = false;
};

CApplication::CApplication(int& argc, char** argv)
{
    if (QCoreApplication::instance() == nullptr) mOwnedQt = std::make_unique<QApplication>(argc, argv);
    sApplication = this;
    SetTarget(this);
    RegisterStandardClasses();
    mEvents = std::make_unique<CApplicationEvents>(*this);
    CSchedulerDriver::Install();
    CSchedulerDriver::SetAfterPassHook([this] { mEvents->TickAfterPass(); });
    SetCleanupWakeHook([this] { mEvents->PostTick(); });
}

CApplication::~CApplication()
{
    // Windows go newest first; each saves its state on the way.
    while (!CWindow::AllWindows().empty()) delete CWindow::AllWindows().back();
    DeleteScheduledObjects();
    SetCleanupWakeHook(nullptr);
    CSchedulerDriver::Uninstall();
    mEvents.reset();
    if (GetTarget() == this) SetTarget(nullptr);
    sApplication = nullptr;
    mOwnedQt.reset();
}

int CApplication::Run()
{
    // Our windows hide when closed (and go later), which Qt does not count
    // as closing: the framework tells the application itself.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, qApp, [this] { RunStartUpOnce(); });
    mRunning = true;
    int code = QApplication::exec();
    mRunning = false;
    return code;
}

void CApplication::LastWindowClosed()
{
    if (mRunning) Quit();
}

void PostLastWindowClosed()
{
    if (CApplication::Get() == nullptr) return;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        if (CApplication* application = CApplication::Get()) application->LastWindowClosed();
    });
}

bool CApplication::RunStartUpOnce()
{
    // A request that arrives while the routine runs (it may show a dialog)
    // must not start it again.
    if (mStartedUp || mStartingUp) return false;
    mStartingUp = true;
    try {
        StartUp();
    } catch (...) {
        mStartingUp = false;
        mStartedUp = true;
        throw;
    }
    mStartingUp = false;
    mStartedUp = true;
    return true;
}

bool CApplication::Quit()
{
    if (!AllowQuit()) return false;
    QCoreApplication::exit(0);
    return true;
}

bool CApplication::HandleCommand(CommandT command, void* ioParam)
{
    if (command == kCmdQuit) {
        Quit();
        return true;
    }
    return CCommander::HandleCommand(command, ioParam);
}

bool CApplication::GetCommandStatus(CommandT command, SCommandStatus& status)
{
    if (command == kCmdQuit) {
        status.enabled = true;
        return true;
    }
    return CCommander::GetCommandStatus(command, status);
}

void CApplication::EventHandled() { ExecuteAttachments(kMsgEvent); }
