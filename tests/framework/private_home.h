// Points every folder the program reads or writes (home, XDG folders, the
// any-user preferences) into `home`, and puts Qt on the offscreen platform
// with no session bus, for a whole test program.
#pragma once

#include <cstdlib>

#include "tests/support/temp_dir.h"

inline void UsePrivateHome(const testsupport::TempDir& home)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.File("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.File("data").c_str(), 1);
    ::setenv("TIDEWELL_SYSTEM_CONFIG", home.File("system").c_str(), 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}
