// How the application opens grabber windows: register at start-up
// (classes, layouts, the quit check's family, and where a grabber's 'EDIT'
// and 'Srch' lead), then the "New Grabber" command calls the opener.
#pragma once

#include <string>

#include "app/framework/framework_codes.h"
#include "app/windows/grabber/grabber.h"

class CCommander;

inline constexpr CommandT kCmdNewGrabber = MakeCommand("NGRB");

// Grabbers made afterwards take `links`; a later call replaces them.
void RegisterGrabberWindows(SGrabberLinks links);
// Builds and shows a grabber; 'nilP' when it cannot be built.
CGrabber* OpenGrabberWindow(CCommander* superCommander, const std::string& url = {});
