// What a window tells the program when it was the last visible one to
// close. The application defines it, so the windows need not know the
// application: a desktop program with no window left quits.
#pragma once

// Asks the application, from the main loop and after the closing window's
// own code has returned, to act on its last window closing; nothing when no
// application runs.
void PostLastWindowClosed();
