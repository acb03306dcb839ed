// Which application the desktop uses for a URL scheme, read from the XDG
// "mimeapps.list" files (the association that xdg-open follows), so the
// answer needs no child process and cannot hang on one.
#pragma once

#include <string>
#include <string_view>

struct DesktopApplication {
    std::string id;    // desktop entry id: "org.example.Browser.desktop"
    std::string name;  // its Name= (unlocalised), or the id when it has none
    std::string path;  // the .desktop file that was found
};

// The default handler of "x-scheme-handler/<scheme>": the first installed
// entry of [Default Applications] in the mimeapps.list files in XDG order
// (config before data, desktop-specific lists first), else the first
// installed entry of [Added Associations]. The search follows
// XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME, XDG_DATA_DIRS and
// XDG_CURRENT_DESKTOP as they are when called. False when there is none;
// `application` is unchanged then.
[[nodiscard]] bool FindURLSchemeHandler(std::string_view scheme, DesktopApplication& application);
