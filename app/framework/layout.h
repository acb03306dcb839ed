// Layouts: the panes of a window, dialog or panel written as a C++ table in a
// "*_layout.cpp" file beside the window, found by layout number.
//
// Geometry is a cell in the super-pane's grid (rows and columns of a Qt grid
// layout), never pixels, so windows follow the font and the screen's scale.
// Sizes are given in text units: average character widths and text lines.
//
// A table is checked when it is registered and when it is built: pane IDs are
// unique (0 is an anonymous pane), every super-pane comes earlier in the
// table, and every class ID is registered. A layout that fails any of these
// cannot be built: the builder raises 'nilP' with the operation's name.
#pragma once

#include <cstdint>
#include <source_location>
#include <span>
#include <string>
#include <vector>

#include "app/framework/framework_codes.h"

struct SPaneCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

struct SPaneSpec {
    PaneIDT id = 0;          // 0: anonymous (cannot be looked up)
    ClassIDT classID = 0;    // a class registered with CClassRegistrar
    PaneIDT superID = 0;     // 0: the window's content pane
    SPaneCell cell{};        // place in the super-pane's grid
    const char* caption = "";  // title, text or (popups) items separated by '\n'
    // Broadcast when the user changes the control; 0 means the pane's own ID.
    MessageT valueMessage = 0;
    const char* helpTag = "";  // tool tip text, shown while help tags are on
    std::int32_t value = 0;
    std::int32_t minValue = 0;
    std::int32_t maxValue = 0;
    int widthChars = 0;    // minimum width in average characters; 0: natural
    int heightLines = 0;   // minimum height in text lines; 0: natural
    bool visible = true;
    bool enabled = true;
    bool stretch = false;  // the pane's row and column take the spare room
};

enum class EWindowKind : std::uint8_t {
    kDocument,  // an ordinary window
    kDialog,    // a modal dialog (CDialog)
    kPanel,     // a view built inside a host pane (no window of its own)
};

struct SLayout {
    int number = 0;
    ClassIDT windowClass = 0;  // the creator registered for it makes the window object
    EWindowKind kind = EWindowKind::kDocument;
    const char* title = "";
    int widthChars = 0;   // initial content size in text units; 0: natural
    int heightLines = 0;
    std::span<const SPaneSpec> panes;
};

// The registered layouts, by number. Each number belongs to one layout: a
// second layout claiming a taken number would silently make its commands
// build the wrong window, so the claim throws std::logic_error naming the
// number and both layouts with where they were registered. Registering the
// same layout again changes nothing (families may be registered more than
// once).
class CLayoutTable {
public:
    // Keeps a pointer: the layout must outlive the program (a static table).
    // False, and nothing registered, when Check finds a fault; class IDs are
    // checked when the layout is built.
    static bool Register(const SLayout& layout, std::source_location where = std::source_location::current());
    static const SLayout* Find(int number);
    // Every registered number, ascending.
    static std::vector<int> Numbers();
    static void Unregister(int number);

    // The checks above except class registration: "" when sound, else what
    // is wrong ("duplicate pane ID 'URL '").
    static std::string Check(const SLayout& layout);
};
