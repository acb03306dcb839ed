// The window families the program opens from its menus: registered once at
// start-up, each behind the application command that opens it.
#pragma once

class CCommander;

void RegisterWindowFamilies(CCommander* application);
// Ends what a window family still runs on its own (the software update).
void StopWindowFamilies();
