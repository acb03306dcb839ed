// How the application opens the preferences window: register once at
// start-up, then the preferences command (kCmdPreferences) calls the opener.
#pragma once

class CCommander;

void RegisterPreferencesWindow();
// Builds the window or brings the open one to the front.
void OpenPreferencesWindow(CCommander* superCommander);
