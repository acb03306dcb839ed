#include "app/windows/configurations/open_configurations.h"

#include "app/framework/class_registrar.h"
#include "app/windows/configurations/configuration_panes.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/configurations_window.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "app/windows/configurations/filter_panels.h"
#include "app/windows/configurations/general_panel.h"
#include "app/windows/configurations/input_items_panel.h"
#include "app/windows/configurations/message_window.h"
#include "app/windows/configurations/misc_panel.h"
#include "app/windows/configurations/table_panels.h"

void RegisterConfigurationWindows()
{
    using namespace configwin;
    RegisterConfigurationPanes();
    CClassRegistrar::RegisterPane(kConfigurationTableClass, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CTablePane>(spec, new CConfigurationTable(parent));
    });
    CClassRegistrar::RegisterWindowClass<CConfigurationsWindow>(kConfigurationsClass);
    CClassRegistrar::RegisterWindowClass<CEditConfigurationWindow>(kEditorClass);
    CClassRegistrar::RegisterWindowClass<CMessageWindow>(kMessageWindowClass);
    RegisterPanelClassOf<CGeneralPanel>(CEditConfigurationPanel::kGeneral);
    RegisterPanelClassOf<CRealmsPanel>(CEditConfigurationPanel::kRealms);
    RegisterPanelClassOf<CNegativeFiltersPanel>(CEditConfigurationPanel::kNegative);
    RegisterPanelClassOf<CPositiveFiltersPanel>(CEditConfigurationPanel::kPositive);
    RegisterPanelClassOf<COtherFiltersPanel>(CEditConfigurationPanel::kOther);
    RegisterPanelClassOf<CMiscPanel>(CEditConfigurationPanel::kMisc);
    RegisterPanelClassOf<CInputItemsPanel>(CEditConfigurationPanel::kInputItems);
    RegisterPanelClassOf<CDelimitersPanel>(CEditConfigurationPanel::kDelimiters);
    RegisterConfigurationLayouts();
    RegisterPanelLayouts();
}

CConfigurationsWindow* OpenConfigurationsWindow() { return ShowConfigurationsWindow(); }

CEditConfigurationWindow* OpenConfigurationEditor(const std::string& name, CWindow* toClose)
{
    return ShowEditConfigurationWindow(toClose, name);
}
