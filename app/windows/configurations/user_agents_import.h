// The user-agent list a user imports from a text file: one name, a tab and a
// user-agent text per line.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Lines end with CR, LF or CR LF; blank lines and lines without a second
// field are skipped; each line is cut at 255 bytes; runs of tabs are one
// separator and text after a third field is ignored; a name seen before
// keeps its first agent. In file order.
std::vector<std::pair<std::string, std::string>> ParseUserAgents(std::string_view text);

// Reads the file, stores its list as the preference "User Agents" and
// reloads the settings' list. False (nothing changed) when the file cannot
// be read, is empty or yields no agent.
bool ImportUserAgents(const std::string& path);
// Removes the preference: the shipped list comes back.
void RevertUserAgents();
