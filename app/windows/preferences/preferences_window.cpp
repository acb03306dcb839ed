#include "app/windows/preferences/preferences_window.h"

#include <iterator>

#include "app/framework/class_registrar.h"
#include "app/windows/preferences/open_preferences.h"
#include "app/windows/preferences/preferences_layout.h"
#include "engine/crawl/crawl_preferences.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/log_file.h"
#include "foundation/settings/preference_accessors.h"

using namespace preferences;

namespace {

struct SSwitch {
    PaneIDT pane;
    const char* key;
    bool (*read)();
};

constexpr SSwitch kSwitches[] = {
    {kGenerateLog, "Generate Log", &GetGenerateLogPreference},
    {kAllowSecondaryDomains, "Allow Secondary Domains", &GetAllowSecondaryDomainsPreference},
    {kGrabOffsiteURLs, "Grab Offsite URLs", &GetGrabOffsiteURLsPreference},
    {kURLsFromDisk, "Load URLs from disk", &GetURLsFromDiskPreference},
};

}  // namespace

CTWLPreferencesWindow* CTWLPreferencesWindow::sWindow = nullptr;

CTWLPreferencesWindow::CTWLPreferencesWindow(const SLayout& layout, CCommander* superCommander)
    : CWindow(layout, superCommander)
{
}

CTWLPreferencesWindow::~CTWLPreferencesWindow()
{
    if (sWindow == this) sWindow = nullptr;
}

void CTWLPreferencesWindow::FinishCreateSelf()
{
    CWindow::FinishCreateSelf();
    for (const SSwitch& entry : kSwitches) {
        if (CPane* box = FindPaneByID(entry.pane)) {
            box->SetValue(entry.read() ? 1 : 0);
            box->AddListener(this);
        }
    }
    if (CPane* button = FindPaneByID(kOpenLogFolder)) button->AddListener(this);
    // Only a window that was built is remembered.
    sWindow = this;
}

CTWLPreferencesWindow* CTWLPreferencesWindow::Open(CCommander* superCommander)
{
    if (sWindow == nullptr || sWindow->IsScheduledForCleanup())
        MakeWindowAs<CTWLPreferencesWindow>(kLayout, superCommander, "ShowPreferences");
    sWindow->Show();
    sWindow->Select();
    return sWindow;
}

void CTWLPreferencesWindow::ListenToMessage(MessageT message, void* ioParam)
{
    if (message == kOpenLogFolder) {
        if (gAppSettings != nullptr) OpenInDefaultApp(gAppSettings->mSupportFolderPath);
        return;
    }
    for (const SSwitch& entry : kSwitches) {
        if (message != entry.pane) continue;
        const std::int32_t value = ioParam != nullptr ? *static_cast<std::int32_t*>(ioParam) : 0;
        (void)SetSwitchPreference(entry.key, value != 0);
    }
}

bool CTWLPreferencesWindow::GetGenerateLog() { return GetGenerateLogPreference(); }
bool CTWLPreferencesWindow::GetAllowSecondaryDomains() { return GetAllowSecondaryDomainsPreference(); }
bool CTWLPreferencesWindow::GetGrabOffsiteURLs() { return GetGrabOffsiteURLsPreference(); }
bool CTWLPreferencesWindow::GetURLsFromDisk() { return GetURLsFromDiskPreference(); }

void RegisterPreferencesWindow()
{
    CClassRegistrar::RegisterWindowClass<CTWLPreferencesWindow>(kWindowClass);
    RegisterPreferencesLayout();
}

void OpenPreferencesWindow(CCommander* superCommander) { CTWLPreferencesWindow::Open(superCommander); }
