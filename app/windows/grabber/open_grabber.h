// How the application opens grabber windows: register once at start-up
// (classes, layouts, the quit check's family), then the "New Grabber"
// command calls the opener.
#pragma once

#include <string>

#include "app/framework/framework_codes.h"

class CCommander;
class CGrabber;

inline constexpr CommandT kCmdNewGrabber = MakeCommand("NGRB");

void RegisterGrabberWindows();
// Builds and shows a grabber; 'nilP' when it cannot be built.
CGrabber* OpenGrabberWindow(CCommander* superCommander, const std::string& url = {});
