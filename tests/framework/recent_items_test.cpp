// The recent starting URLs in the preferences and in their popup menu.
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/recent_items.h"
#include "app/framework/window.h"
#include "foundation/settings/preference_store.h"
#include "framework_environment.h"

namespace {

constexpr const char* kKey = "Recent Items Test";

TEST(RecentItems, NewestFirstBoundedAndStored)
{
    (void)RemovePreference(kKey);
    CRecentItems items(kKey, 3);
    for (const char* url : {"a", "b", "c", "d"}) items.AddItem(url);
    EXPECT_EQ(items.Items(), (std::vector<std::string>{"d", "c", "b"}));
    items.AddItem("c");  // already there: keeps its place
    EXPECT_EQ(items.Items(), (std::vector<std::string>{"d", "c", "b"}));
    EXPECT_EQ(CRecentItems(kKey, 3).Items(), items.Items());
    EXPECT_EQ(CRecentItems(kKey, 2).Items(), (std::vector<std::string>{"d", "c"}));

    ASSERT_TRUE(SetPreferenceString("not a list", kKey));
    CRecentItems fromText(kKey, 3);
    EXPECT_EQ(fromText.Count(), 0);
    fromText.AddItem("x");
    EXPECT_EQ(GetPreferenceStrings(kKey), (std::vector<std::string>{"x"}));
}

constexpr PaneIDT kRecent = MakeFourCharCode("Rcnt");
constexpr SPaneSpec kPanes[] = {{.id = kRecent, .classID = kClassPopupMenu}};
constexpr SLayout kLayout{.number = 9400, .windowClass = kClassWindow, .panes = kPanes};

TEST(RecentItems, MenuOffersClearingAndTheItems)
{
    CScopedLayout registered(kLayout);
    std::unique_ptr<CWindow> window(MakeWindow(kLayout.number, nullptr, "T"));
    CPane& popup = *window->FindPaneByID(kRecent);
    (void)RemovePreference(kKey);
    CRecentItems items(kKey, 10);
    items.AddItem("http://one/");
    items.AddItem("http://two/");
    items.BuildMenu(popup);
    ASSERT_EQ(popup.CountMenuItems(), 4);
    EXPECT_EQ(popup.GetMenuItemText(1), "Clear Menu");
    EXPECT_FALSE(popup.IsMenuItemEnabled(2));
    EXPECT_EQ(popup.GetMenuItemText(3), items.GetItem(0));
    EXPECT_EQ(popup.GetValue(), 2);

    items.Clear();
    items.BuildMenu(popup);
    ASSERT_EQ(popup.CountMenuItems(), 1);
    EXPECT_EQ(popup.GetMenuItemText(1), "(No Recent Items");
    EXPECT_FALSE(popup.IsMenuItemEnabled(1));
    EXPECT_FALSE(HasPreference(kKey));
}

}  // namespace
