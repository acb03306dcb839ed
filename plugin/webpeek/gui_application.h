// The Qt application the plug-in's windows live in: the host's own when it
// runs one, else one the plug-in starts and keeps for the rest of the process
// (the web engine cannot be started a second time in one process).
#pragma once

namespace webpeek {

// Starts the application when there is none yet.
void StartGuiApplication();
// True when a widget application exists and this is its thread, so windows
// and web views can be made here.
bool GuiApplicationReady();
// Runs the deletions the calls' event processing left pending.
void ReleasePendingObjects();

}  // namespace webpeek
