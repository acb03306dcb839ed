// The application the desktop uses for a URL scheme (mimeapps.list, as
// xdg-open follows it).
#pragma once

#include "foundation/system/file_name_mappings.h"
#include "foundation/text/fixed_string.h"

// Linux applications have no creator codes: a scheme that has a handler
// gives kAnyApplicationCreator ('????', the creator the file-name table uses
// too) and the handler's name; a scheme without one gives 0 and leaves
// `name` unchanged.
TypeCode GetInternetHelper(const char* scheme, CFixedString255& name);

// GetInternetHelper for "http".
TypeCode GetDefaultBrowserName(CFixedString255& name);
