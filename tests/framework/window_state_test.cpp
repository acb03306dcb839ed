// The saved place of a window: damaged texts are ignored, places off every
// screen are pulled back, and a window closes with its place saved.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/grayscale_window.h"
#include "app/framework/window_state.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "framework_environment.h"

namespace {

TEST(WindowState, ParsingNeedsAllSevenFields)
{
    struct SCase {
        const char* text;
        bool parses;
    } cases[] = {
        {"10 20 40 12 340 512 false", true},
        {"10 20 40 12 340 512 true", true},
        {"10 20 40 12 340 512", false},             // six fields
        {"10 20 40 12 340 512 false 7", false},     // eight
        {"10 20 40 12 340 512 yes", false},         // not a switch
        {"10 20 40x 12 340 512 false", false},      // not a number
        {"10 20 340 12 40 512 false", false},       // empty bounds
        {"", false},
    };
    for (const SCase& c : cases) EXPECT_EQ(ParseWindowState(c.text).has_value(), c.parses) << c.text;
    SWindowState state{10, 20, {40, 12, 340, 512}, true};
    std::optional<SWindowState> back = ParseWindowState(FormatWindowState(state));
    ASSERT_TRUE(back);
    EXPECT_EQ(FormatWindowState(*back), "10 20 40 12 340 512 true");
}

TEST(WindowState, PlacesOffScreenAreBroughtBack)
{
    const std::vector<SWindowRect> screens = {{0, 0, 1080, 1920}, {0, 1920, 1080, 3840}};
    struct SCase {
        const char* name;
        SWindowRect bounds;
        SWindowRect expected;
    } cases[] = {
        {"on screen stays", {100, 100, 500, 700}, {100, 100, 500, 700}},
        {"second screen stays", {100, 2000, 500, 2600}, {100, 2000, 500, 2600}},
        {"beyond the right edge", {100, 5000, 500, 5600}, {100, 3240, 500, 3840}},
        {"above the top", {-800, 100, -400, 700}, {0, 100, 400, 700}},
        {"larger than the screen", {0, 0, 2000, 1000}, {0, 0, 1080, 1000}},
    };
    for (const SCase& c : cases) {
        SWindowState fitted = KeepOnScreen({c.bounds.left - 1, c.bounds.top - 20, c.bounds, false}, screens);
        EXPECT_EQ(FormatWindowState(fitted),
                  FormatWindowState({c.expected.left - 1, c.expected.top - 20, c.expected, false}))
            << c.name;
    }
}

constexpr SPaneSpec kPanes[] = {
    {.id = MakeFourCharCode("Capt"), .classID = kClassCaption, .caption = "Saved place", .helpTag = "A tag"}};
constexpr SLayout kLayout{.number = 9300, .windowClass = kClassGrayscaleWindow, .widthChars = 30, .heightLines = 6,
                          .panes = kPanes};

TEST(WindowState, WindowClosesWithItsPlaceAndReopensThere)
{
    CScopedLayout registered(kLayout);
    EXPECT_TRUE(RemovePreference("State Test Window"));
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QRect placed(screen.left() + 40, screen.top() + 30, 300, 200);
    {
        auto window = std::unique_ptr<GGrayscaleWindow>(MakeWindowAs<GGrayscaleWindow>(kLayout.number, nullptr, "T"));
        window->SetName("State Test Window");
        window->RestoreWindowState();  // nothing saved: keeps the layout's place
        window->Show();
        window->GetWidget()->setGeometry(placed);
    }
    std::optional<std::string> saved = GetPreferenceString("State Test Window");
    ASSERT_TRUE(saved);
    ASSERT_TRUE(ParseWindowState(*saved)) << *saved;

    auto window = std::unique_ptr<GGrayscaleWindow>(MakeWindowAs<GGrayscaleWindow>(kLayout.number, nullptr, "T"));
    window->SetName("State Test Window");
    window->RestoreWindowState();
    EXPECT_EQ(window->GetWidget()->geometry(), placed);
    // A window that never showed saves nothing over the good place.
    window.reset();
    EXPECT_EQ(GetPreferenceString("State Test Window"), saved);
}

TEST(WindowState, HelpTagsComeFromTheLayoutWhileSwitchedOn)
{
    CScopedLayout registered(kLayout);
    auto window = std::unique_ptr<GGrayscaleWindow>(MakeWindowAs<GGrayscaleWindow>(kLayout.number, nullptr, "T"));
    window->Show();
    CPane* caption = window->FindPaneByID(MakeFourCharCode("Capt"));
    std::string text;
    EXPECT_TRUE(window->GetHelpContent(caption->GetWidget(), text));
    EXPECT_EQ(text, "A tag");
    {
        // The settings' switch turns every tag off.
        CAppSettings settings;
        settings.mHelpTags = false;
        gAppSettings = &settings;
        EXPECT_FALSE(window->GetHelpContent(caption->GetWidget(), text));
        gAppSettings = nullptr;
    }
    caption->Disable();
    EXPECT_FALSE(window->GetHelpContent(caption->GetWidget(), text)) << "a disabled pane shows no tag";
}

}  // namespace
