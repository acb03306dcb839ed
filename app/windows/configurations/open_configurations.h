// What the application and the grabber windows call to reach the
// configuration windows.
#pragma once

#include <string>

#include "app/framework/framework_codes.h"

class CWindow;
class CConfigurationsWindow;
class CEditConfigurationWindow;

// The command that opens the configurations window (the grabbers'
// "Configurations..." popup item sends it to the application).
inline constexpr CommandT kCmdShowConfigurations = MakeCommand("Cnfg");

// Registers the windows' and panels' classes and layouts (once, at start-up,
// after the framework's standard classes).
void RegisterConfigurationWindows();

// A new configurations window, shown.
CConfigurationsWindow* OpenConfigurationsWindow();
// The editor on a named configuration, shown; `toClose` (may be null) closes
// once the editor shows. Null when the configuration cannot be read (told).
CEditConfigurationWindow* OpenConfigurationEditor(const std::string& name, CWindow* toClose = nullptr);
