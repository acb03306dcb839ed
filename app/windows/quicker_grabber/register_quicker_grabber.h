// Registers the quicker grabber with the framework: its window class and
// layouts, the widget panes it uses, the opener that every outside URL goes
// through (OpenQuickerGrabber of app/framework/window_hooks.h), its family
// for the quit check, and the after-yield hook that shows the transfers'
// progress. The executable calls it once at start-up.
//
// The opener builds layout 2111 for a media request, else 2110 ("Download
// One Page" for a one-page request), loads the request's configuration by
// name when the grab starts, puts the URL into the URL field and shows the
// window; it does not start the grab.
#pragma once

void RegisterQuickerGrabber();
