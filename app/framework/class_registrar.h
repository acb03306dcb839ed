// The class registrar: layouts name classes by four-character class ID, and
// this table makes the pane or window object for each. An ID belongs to one
// registering place: a claim on a taken ID from elsewhere would silently
// swap the class every layout naming it builds, so it throws
// std::logic_error naming the ID and both places. The same place may
// register again (families registered more than once).
#pragma once

#include <functional>
#include <memory>
#include <source_location>

#include "app/framework/framework_codes.h"
#include "app/framework/layout.h"

class CCommander;
class CPane;
class CWindow;
class QWidget;

// Makes a pane from its layout entry, its widget parented to `parentWidget`.
using PaneCreator = std::function<std::unique_ptr<CPane>(const SPaneSpec& spec, QWidget* parentWidget)>;
// Makes the (not yet built) window object of a layout.
using WindowCreator = std::function<CWindow*(const SLayout& layout, CCommander* superCommander)>;

class CClassRegistrar {
public:
    static void RegisterPane(ClassIDT classID, PaneCreator creator,
                             std::source_location where = std::source_location::current());
    static void RegisterWindow(ClassIDT classID, WindowCreator creator,
                               std::source_location where = std::source_location::current());
    static void Unregister(ClassIDT classID);
    static bool HasPaneClass(ClassIDT classID);
    static bool HasWindowClass(ClassIDT classID);

    // Null when the class is not registered (or the creator gave nothing).
    static std::unique_ptr<CPane> CreatePane(const SPaneSpec& spec, QWidget* parentWidget);
    static CWindow* CreateWindow(const SLayout& layout, CCommander* superCommander);

    // A window class T with a constructor T(const SLayout&, CCommander*).
    template <class T>
    static void RegisterWindowClass(ClassIDT classID, std::source_location where = std::source_location::current())
    {
        RegisterWindow(
            classID, [](const SLayout& layout, CCommander* super) -> CWindow* { return new T(layout, super); },
            where);
    }
};

// The standard classes (each over the Qt widget named):
//   'view' a plain view that holds a grid (QWidget)   'capt' caption (QLabel)
//   'edit' edit field (QLineEdit)                     'pbut' push button (QPushButton)
//   'push' push button, same as 'pbut'                'cbox' check box (QCheckBox)
//   'popm' popup menu (QComboBox)                     'txtv' text view (QPlainTextEdit, read-only)
//   'prog' progress bar (QProgressBar)                'arro' chasing arrows (busy QProgressBar)
//   'icnp' icon or picture (QLabel with a pixmap)     'sepr' separator line (QFrame)
//   'tabg' tab group: sub-panes are its pages, caption = the tab's title (QTabWidget)
// and the window classes 'wind' (CWindow) and 'dlog' (CDialog), 'GRAY'
// (GGrayscaleWindow).
void RegisterStandardClasses();

inline constexpr ClassIDT kClassView = MakeFourCharCode("view");
inline constexpr ClassIDT kClassCaption = MakeFourCharCode("capt");
inline constexpr ClassIDT kClassEditField = MakeFourCharCode("edit");
inline constexpr ClassIDT kClassPushButton = MakeFourCharCode("pbut");
inline constexpr ClassIDT kClassPushButtonAlias = MakeFourCharCode("push");
inline constexpr ClassIDT kClassCheckBox = MakeFourCharCode("cbox");
inline constexpr ClassIDT kClassPopupMenu = MakeFourCharCode("popm");
inline constexpr ClassIDT kClassTextView = MakeFourCharCode("txtv");
inline constexpr ClassIDT kClassProgressBar = MakeFourCharCode("prog");
inline constexpr ClassIDT kClassChasingArrows = MakeFourCharCode("arro");
inline constexpr ClassIDT kClassIconPane = MakeFourCharCode("icnp");
inline constexpr ClassIDT kClassSeparator = MakeFourCharCode("sepr");
inline constexpr ClassIDT kClassTabGroup = MakeFourCharCode("tabg");
inline constexpr ClassIDT kClassWindow = MakeFourCharCode("wind");
inline constexpr ClassIDT kClassDialog = MakeFourCharCode("dlog");
inline constexpr ClassIDT kClassGrayscaleWindow = MakeFourCharCode("GRAY");
