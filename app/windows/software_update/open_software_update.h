// How the application reaches the version check: register once at start-up,
// then the "Check for Updates" command (kCmdCheckForUpdates) starts a check.
// Before quitting, the application stops a check or download that runs.
#pragma once

#include <string>

#include "app/framework/framework_codes.h"

class CCommander;

inline constexpr CommandT kCmdCheckForUpdates = MakeCommand("UPDT");

// The version list's address; the preference "Version List URL" replaces it.
inline constexpr const char* kVersionListURL = "https://www.farrowby.com/ProductVersions.plist";

void RegisterSoftwareUpdateWindows();
// Starts a check unless one runs; `quiet` shows only an available update.
void CheckForSoftwareUpdate(bool quiet, CCommander* superCommander);
std::string VersionListURL();
// Stops the check and the download that run and waits until both have ended.
void StopSoftwareUpdate();
