#include "app/main/window_families.h"

#include "app/framework/window_hooks.h"
#include "app/windows/configurations/open_configurations.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/preferences/open_preferences.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "app/windows/search/open_search.h"
#include "app/windows/software_update/open_software_update.h"
#include "app/windows/update/open_update_window.h"

void RegisterWindowFamilies(CCommander* application)
{
    RegisterQuickerGrabber();
    RegisterGrabberWindows(SGrabberLinks{
        .editConfiguration = [](CGrabber&, const std::string& name) { OpenConfigurationEditor(name); },
        .search = [application](const std::string& folder) { OpenSearchWindow(folder, application); },
    });
    RegisterUpdateWindow();
    RegisterPreferencesWindow();
    RegisterSoftwareUpdateWindows();
    RegisterConfigurationWindows();
    RegisterSearchWindow();

    SetApplicationCommandHandler(CommandValue(kCmdShowConfigurations), [] { OpenConfigurationsWindow(); });
    SetApplicationCommandHandler(CommandValue(kCmdSearchFiles),
                                 [application] { OpenSearchWindow(std::nullopt, application); });

    SetApplicationCommandHandler(CommandValue(kCmdNewGrabber),
                                 [application] { OpenGrabberWindow(application); });
    SetApplicationCommandHandler(CommandValue(kCmdUpdateFolder), [application] { OpenUpdateWindow(application); });
    SetApplicationCommandHandler(CommandValue(kCmdPreferences),
                                 [application] { OpenPreferencesWindow(application); });
    SetApplicationCommandHandler(CommandValue(kCmdCheckForUpdates),
                                 [application] { CheckForSoftwareUpdate(false, application); });
}

void StopWindowFamilies()
{
    StopSoftwareUpdate();
}
