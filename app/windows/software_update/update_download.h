// Starting the download of an update archive, as the update-available
// window asks for it; the updater thread defines it, so the windows it
// shows need not know it.
#pragma once

#include <string>

class CCommander;

// Starts the download of `url` unless one runs already.
void StartUpdateDownload(const std::string& url, CCommander* superCommander);
