// How the application opens the update window: register once at start-up,
// then the "Update Folder" command calls the opener.
#pragma once

#include "app/framework/framework_codes.h"

class CCommander;
class CUpdateIteratorWindow;

inline constexpr CommandT kCmdUpdateFolder = MakeCommand("UDTE");

void RegisterUpdateWindow();
// Builds and shows one; 'nilP' when it cannot be built.
CUpdateIteratorWindow* OpenUpdateWindow(CCommander* superCommander);
