#include "app/windows/search/open_search.h"

#include "app/framework/class_registrar.h"
#include "app/framework/window.h"
#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/search/searcher.h"
#include "app/windows/widgets/resizable_heading.h"
#include "app/windows/widgets/radio_group.h"
#include "app/windows/widgets/widget_panes.h"

void RegisterSearchWindow()
{
    RegisterWidgetPanes();
    RegisterOutlineTables();
    RegisterHeadingTables();
    RegisterRadioGroups();
    CClassRegistrar::RegisterWindowClass<CSearcher>(searchwindow::kWindowClass);
    searchwindow::RegisterSearchLayouts();
}

CSearcher* OpenSearchWindow(const std::optional<std::string>& folder, CCommander* superCommander)
{
    auto* window = MakeWindowAs<CSearcher>(searchwindow::kLayout, superCommander, "OpenSearchWindow");
    if (folder) window->SetSearchFolder(*folder);
    window->Show();
    window->Select();
    return window;
}
