#include <functional>
#include <string>

#include <QApplication>
#include <QProgressBar>
#include <gtest/gtest.h>

#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "tests/grabber_windows/window_test_support.h"
#include "tests/windows/paint_counter.h"

namespace {

using ProgressBars = gwtest::WindowTest;

// A bar the crawl moves is drawn with its window's next paint, with the other
// panes changed at the same showing: moving it paints nothing at once (a bar
// that repainted itself drew its whole window's waiting changes each time).
TEST_F(ProgressBars, AMovedBarIsDrawnWithTheWindowsNextPaint)
{
    struct SCase {
        const char* bar;
        std::function<CWindow*()> open;
        PaneIDT pane;
    } const cases[] = {
        {"grabber level", [] { return OpenGrabberWindow(nullptr); }, grabber::kLevelProgress},
        {"grabber file", [] { return OpenGrabberWindow(nullptr); }, grabber::kFileProgress},
        {"quicker grabber", [] { return OpenQuickerGrabber({.url = "http://127.0.0.1:9/"}, nullptr); },
         quickergrabber::kProgress},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.bar);
        CWindow* window = c.open();
        ASSERT_NE(window, nullptr);
        CPane* pane = window->FindPaneByID(c.pane);
        ASSERT_NE(pane, nullptr);
        auto* bar = qobject_cast<QProgressBar*>(pane->GetWidget());
        ASSERT_NE(bar, nullptr);
        window->GetWidget()->show();
        bar->show();
        bar->setRange(0, 100);
        QApplication::processEvents();
        windowtest::CPaintCounter paints(bar);

        pane->SetValue(60);
        EXPECT_EQ(paints.paints, 0) << "painted at once";
        EXPECT_EQ(pane->GetValue(), 60);
        QApplication::processEvents();
        EXPECT_EQ(paints.paints, 1);
        EXPECT_TRUE(bar->updatesEnabled());
        delete window;
    }
}

}  // namespace
