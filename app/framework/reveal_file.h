// Showing a file in the file manager: the desktop's FileManager1 service
// selects it (ShowItems over D-Bus); without that service the folder that
// holds it opens in the default application. For the windows' "reveal"
// buttons.
#pragma once

#include <string>

// True when the file manager was asked or the folder was opened.
bool RevealFile(const std::string& path);
