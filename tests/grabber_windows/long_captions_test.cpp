#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/windows/grabber/grabber.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/search/open_search.h"
#include "app/windows/search/searcher.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/update/open_update_window.h"
#include "app/windows/update/update_iterator_window.h"
#include "app/windows/update/update_layout.h"
#include "tests/grabber_windows/window_test_support.h"

namespace {

using LongCaptions = gwtest::WindowTest;

// Captions the program fills while a window is open (the chosen folder, the
// file being fetched, the file being searched) take names of any length: a
// long one keeps the window's width and reads back whole.
TEST_F(LongCaptions, ALongNameKeepsTheWindowsWidth)
{
    struct SCase {
        const char* window;
        std::function<CWindow*(const std::string& folder)> open;
        PaneIDT caption;
    } const cases[] = {
        {"update", [](const std::string&) { return OpenUpdateWindow(nullptr); }, updatewindow::kFolder},
        {"grabber", [](const std::string&) { return OpenGrabberWindow(nullptr); }, grabber::kFileName},
        {"search", [](const std::string& folder) { return OpenSearchWindow(folder, nullptr); }, searchwindow::kFileCaption},
    };
    std::string name = mRoot.MakeFolder("searched");
    for (int i = 0; i < 16; ++i) name += "/a-rather-long-folder-name-" + std::to_string(i);
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.window);
        CWindow* window = c.open(mRoot.File("searched"));
        ASSERT_NE(window, nullptr);
        window->GetWidget()->show();
        QApplication::processEvents();
        const int width = window->GetWidget()->width();
        CPane* caption = window->FindPaneByID(c.caption);
        ASSERT_NE(caption, nullptr);

        caption->SetDescriptor(name);
        QApplication::processEvents();
        EXPECT_EQ(window->GetWidget()->width(), width);
        EXPECT_EQ(caption->GetDescriptor(), name);
        Screenshot(*window, std::string("long_caption_") + c.window);
        delete window;
    }
}

}  // namespace
