#include "tests/grabber_windows/window_test_support.h"

#include <filesystem>

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "app/framework/class_registrar.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/preferences/open_preferences.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "app/windows/search/open_search.h"
#include "app/windows/software_update/open_software_update.h"
#include "app/windows/update/open_update_window.h"
#include "tests/windows/run_events.h"
#include "tests/windows/window_frame.h"

namespace gwtest {

void WindowTest::SetUp()
{
    CrawlEnvironment::SetUp();
    static const bool registered = [] {
        RegisterStandardClasses();
        RegisterGrabberWindows({.editConfiguration = {},
                                .search = [](const std::string& folder) { Searched().push_back(folder); }});
        RegisterQuickerGrabber();
        RegisterUpdateWindow();
        RegisterPreferencesWindow();
        RegisterSoftwareUpdateWindows();
        RegisterSearchWindow();
        return true;
    }();
    (void)registered;
    windowtest::InstallWindowFrame(mSpawned);
}

std::vector<std::string>& WindowTest::Searched()
{
    static std::vector<std::string> folders;
    return folders;
}

void WindowTest::TearDown()
{
    Searched().clear();
    for (CWindow* window : std::vector<CWindow*>(CWindow::AllWindows())) delete window;
    windowtest::RemoveWindowFrame();
    CrawlEnvironment::TearDown();
}

bool WindowTest::RunEvents(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return windowtest::RunEventsUntil(done, limit);
}

void WindowTest::Click(CWindow& window, PaneIDT pane)
{
    CPane* found = window.FindPaneByID(pane);
    ASSERT_NE(found, nullptr);
    auto* button = qobject_cast<QAbstractButton*>(found->GetWidget());
    ASSERT_NE(button, nullptr);
    button->click();
}

std::string WindowTest::Text(CWindow& window, PaneIDT pane) { return window.FindPaneByID(pane)->GetDescriptor(); }

bool WindowTest::IsEnabled(CWindow& window, PaneIDT pane) { return window.FindPaneByID(pane)->IsEnabled(); }

std::string WindowTest::Screenshot(CWindow& window, const std::string& name)
{
    std::filesystem::create_directories(TIDEWELL_SCREENSHOTS);
    std::filesystem::path path(TIDEWELL_SCREENSHOTS);
    path /= name + ".png";
    QApplication::processEvents();
    window.GetWidget()->grab().save(QString::fromStdString(path.string()), "PNG");
    return path.string();
}

}  // namespace gwtest
