#include "tests/windows/quicker_grabber_test_support.h"

#include <algorithm>
#include <cstdlib>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/dialog.h"
#include "app/framework/scheduler_driver.h"
#include "app/framework/window_hooks.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "platform/launch/program_launcher.h"

namespace qgtest {

void QuickerGrabberTest::SetUp()
{
    CrawlEnvironment::SetUp();
    static const bool registered = [] {
        RegisterStandardClasses();
        RegisterQuickerGrabber();
        return true;
    }();
    (void)registered;
    CSchedulerDriver::Install();
    CScriptedAnswers::Clear();
    SetProgramSpawner([this](const std::vector<std::string>& argv) {
        mSpawned.push_back(argv);
        return 0;
    });
}

void QuickerGrabberTest::TearDown()
{
    for (CQuickerGrabber* window : CWindow::WindowsOfClass<CQuickerGrabber>()) delete window;
    DeleteScheduledObjects();
    SetProgramSpawner({});
    CScriptedAnswers::Clear();
    CSchedulerDriver::Uninstall();
    CrawlEnvironment::TearDown();
}

CQuickerGrabber* QuickerGrabberTest::Open(const std::string& url, bool media, bool onePage)
{
    SQuickGrabRequest request;
    request.url = url;
    request.mediaLayout = media;
    request.onePage = onePage;
    return dynamic_cast<CQuickerGrabber*>(OpenQuickerGrabber(request, nullptr));
}

bool QuickerGrabberTest::RunEvents(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

void QuickerGrabberTest::Click(CQuickerGrabber& window, PaneIDT pane)
{
    auto* button = qobject_cast<QAbstractButton*>(window.FindPaneByID(pane)->GetWidget());
    ASSERT_NE(button, nullptr);
    button->click();
}

void QuickerGrabberTest::PressKey(CQuickerGrabber& window, PaneIDT pane, int key, const char* text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
    QApplication::sendEvent(window.FindPaneByID(pane)->GetWidget(), &press);
}

std::string QuickerGrabberTest::Text(CQuickerGrabber& window, PaneIDT pane)
{
    return window.FindPaneByID(pane)->GetDescriptor();
}

bool QuickerGrabberTest::IsShown(CQuickerGrabber& window, PaneIDT pane)
{
    return window.FindPaneByID(pane)->IsVisible();
}

bool QuickerGrabberTest::IsEnabled(CQuickerGrabber& window, PaneIDT pane)
{
    return window.FindPaneByID(pane)->IsEnabled();
}

QImage QuickerGrabberTest::Screenshot(CQuickerGrabber& window, const char* name)
{
    QApplication::processEvents();
    const QImage picture = window.GetWidget()->grab().toImage();
    if (const char* folder = std::getenv("TIDEWELL_SCREENSHOT_DIR"))
        picture.save(QString::fromUtf8(folder) + "/" + name + ".png");
    return picture;
}

bool Requested(const testsupport::HttpPeer& peer, const std::string& target)
{
    const auto requests = peer.Requests();
    return std::any_of(requests.begin(), requests.end(), [&](const auto& r) { return r.target == target; });
}

}  // namespace qgtest
