#include <gtest/gtest.h>

#include "app/windows/preferences/open_preferences.h"
#include "app/windows/preferences/preferences_layout.h"
#include "app/windows/preferences/preferences_window.h"
#include "engine/crawl/crawl_preferences.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "tests/grabber_windows/window_test_support.h"

namespace {

using namespace preferences;

class PreferencesWindow : public gwtest::WindowTest {};

// What is stored decides each box and accessor; clicking stores at once,
// and the crawl reads the same switches.
TEST_F(PreferencesWindow, BoxesAccessorsAndTheCrawlAgree)
{
    struct SSwitch {
        PaneIDT pane;
        const char* key;
        bool (*accessor)();
        bool CCrawlPreferences::*crawlField;
    };
    const SSwitch switches[] = {
        {kGenerateLog, "Generate Log", &CTWLPreferencesWindow::GetGenerateLog, nullptr},
        {kAllowSecondaryDomains, "Allow Secondary Domains", &CTWLPreferencesWindow::GetAllowSecondaryDomains,
         &CCrawlPreferences::allowSecondaryDomains},
        {kGrabOffsiteURLs, "Grab Offsite URLs", &CTWLPreferencesWindow::GetGrabOffsiteURLs,
         &CCrawlPreferences::grabOffsiteURLs},
        {kURLsFromDisk, "Load URLs from disk", &CTWLPreferencesWindow::GetURLsFromDisk,
         &CCrawlPreferences::loadURLsFromDisk},
    };
    const struct {
        const char* stored;  // nullptr: missing
        bool on;
    } values[] = {{nullptr, true}, {"false", false}, {"true", true}, {"no", true}};
    EXPECT_EQ(CTWLPreferencesWindow::Current(), nullptr);
    for (const auto& value : values) {
        SCOPED_TRACE(value.stored != nullptr ? value.stored : "missing");
        for (const SSwitch& entry : switches) {
            if (value.stored != nullptr) {
                SetPreference(entry.key, value.stored);
            } else {
                EXPECT_TRUE(RemovePreference(entry.key));
            }
        }
        CTWLPreferencesWindow* window = CTWLPreferencesWindow::Open(nullptr);
        const CCrawlPreferences crawl = CCrawlPreferences::Read();
        for (const SSwitch& entry : switches) {
            SCOPED_TRACE(entry.key);
            EXPECT_EQ(window->FindPaneByID(entry.pane)->GetValue(), value.on ? 1 : 0);
            EXPECT_EQ(entry.accessor(), value.on);
            if (entry.crawlField != nullptr) {
                EXPECT_EQ(crawl.*entry.crawlField, value.on);
            }
            Click(*window, entry.pane);
            EXPECT_EQ(GetPreferenceString(entry.key), value.on ? "false" : "true");
            EXPECT_EQ(entry.accessor(), !value.on);
        }
        EXPECT_EQ(CTWLPreferencesWindow::Open(nullptr), window) << "at most one window";
        delete window;
        EXPECT_EQ(CTWLPreferencesWindow::Current(), nullptr);
    }
}

TEST_F(PreferencesWindow, OpenLogFolderOpensTheSupportFolder)
{
    CTWLPreferencesWindow* window = CTWLPreferencesWindow::Open(nullptr);
    Screenshot(*window, "preferences");
    Click(*window, kOpenLogFolder);
    ASSERT_EQ(mSpawned.size(), 1u);
    EXPECT_EQ(mSpawned[0].back(), gAppSettings->mSupportFolderPath);
    delete window;
}

}  // namespace
