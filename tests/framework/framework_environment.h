// Shared by the framework tests: the Qt application runs on the offscreen
// platform, with every folder the preferences use inside a private folder.
#pragma once

#include <functional>

#include "app/framework/layout.h"

// Runs the Qt event loop until `done` (checked after every event batch) or
// until a generous bound passes; true when `done` was reached.
bool RunLoopUntil(const std::function<bool()>& done);

// Registers `layout` and the standard classes; unregisters on destruction.
class CScopedLayout {
public:
    explicit CScopedLayout(const SLayout& layout);
    ~CScopedLayout();

private:
    int mNumber;
};
