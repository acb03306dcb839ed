#include "app/windows/update/open_update_window.h"

#include "app/framework/class_registrar.h"
#include "app/windows/update/update_iterator_window.h"
#include "app/windows/update/update_layout.h"
#include "app/windows/widgets/widget_panes.h"

void RegisterUpdateWindow()
{
    RegisterWidgetPanes();
    CClassRegistrar::RegisterWindowClass<CUpdateIteratorWindow>(updatewindow::kWindowClass);
    updatewindow::RegisterUpdateLayout();
}

CUpdateIteratorWindow* OpenUpdateWindow(CCommander* superCommander)
{
    auto* window = MakeWindowAs<CUpdateIteratorWindow>(updatewindow::kLayout, superCommander, "OpenUpdateWindow");
    window->Show();
    window->Select();
    return window;
}
