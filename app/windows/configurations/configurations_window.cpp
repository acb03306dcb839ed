#include "app/windows/configurations/configurations_window.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/framework/application.h"
#include "app/framework/dialog.h"
#include "app/windows/configurations/configuration_panes.h"
#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/dialog_fields.h"
#include "app/windows/configurations/edit_configuration_window.h"
#include "app/windows/configurations/help_pages.h"
#include "engine/config/configuration_files.h"

using namespace configwin;

namespace {

const std::pair<PaneIDT, const char*> kHelpTags[] = {
    {2, "Your configuration files"},
    {3, "Create a new configuration"},
    {4, "Duplicate a selected configuration"},
    {5, "Rename a selected configuration"},
    {6, "Delete a selected configuration"},
    {7, "Edit a selected configuration"},
    {kHelp, "Help for this window"},
};

std::string RefusalText(const std::string& name, int status)
{
    if (IsDefaultConfigurationName(name) || status == -EPERM)
        return "\"Default\" is the built-in configuration; choose another name.";
    if (status == -EEXIST) return "A configuration named \"" + name + "\" already exists.";
    if (status == -ENAMETOOLONG) return "The name \"" + name.substr(0, 64) + "...\" is too long.";
    if (status == -EINVAL)
        return "\"" + name + "\" cannot name a configuration: use a name that is not empty, holds no \"/\" and does "
               "not begin with \".\".";
    return std::string("The configuration \"") + name + "\" could not be changed: " + std::strerror(-status) + ".";
}

// Deleting a configuration cannot be undone: the user says so first.
bool ConfirmDelete(const std::string& name)
{
    SAlert alert;
    alert.kind = EAlertKind::kCaution;
    alert.text = "Delete the configuration \"" + name + "\"?";
    alert.informativeText = "Its file is removed from the configurations folder; this cannot be undone.";
    alert.buttons = {{"Delete", kMsgOK}, {"Cancel", kMsgCancel}};
    return RunAlert(alert) == kMsgOK;
}

void Caution(const std::string& text)
{
    SAlert alert;
    alert.kind = EAlertKind::kCaution;
    alert.text = text;
    RunAlert(alert);
}

}  // namespace

CConfigurationTable::CConfigurationTable(QWidget* parent) : CDragAndDropTable(1, parent) { SetAcceptsDrops(false); }

void CConfigurationTable::Refresh()
{
    mNames.clear();
    const std::string folder = ConfigurationsFolder();
    std::error_code error;
    if (folder.empty()) return;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->is_directory(error)) continue;
        const std::string name = entry->path().filename().string();
        if (!name.empty() && name[0] != '.') mNames.push_back(name);
    }
}

void CConfigurationTable::ShowFolder()
{
    Refresh();
    std::vector<Row> rows;
    for (const std::string& name : mNames) rows.push_back({name});
    FillRows(rows);
}

bool CConfigurationTable::IsListed(const std::string& name) const
{
    return std::find(mNames.begin(), mNames.end(), name) != mNames.end();
}

std::string CConfigurationTable::SelectedName() const
{
    const int row = SelectedRow();
    return row < 0 ? std::string() : RowCells(row)[0];
}

void CConfigurationTable::DeleteSelectedRow() { BroadcastMessage(kMsgDelete); }

CConfigurationsWindow::CConfigurationsWindow(const SLayout& layout, CCommander* superCommander)
    : GGrayscaleWindow(layout, superCommander)
{
    SetName("Configurations Window");
}

CConfigurationsWindow::~CConfigurationsWindow() { BroadcastConfigurationsChanged(); }

CConfigurationTable* CConfigurationsWindow::Table() const
{
    auto* pane = dynamic_cast<CTablePane*>(const_cast<CConfigurationsWindow*>(this)->FindPaneByID(kTable));
    return pane ? dynamic_cast<CConfigurationTable*>(pane->Table()) : nullptr;
}

void CConfigurationsWindow::FinishCreateSelf()
{
    GGrayscaleWindow::FinishCreateSelf();
    for (PaneIDT id : {PaneIDT{3}, PaneIDT{4}, PaneIDT{5}, PaneIDT{6}, PaneIDT{7}, kHelp})
        if (CPane* button = FindPaneByID(id)) button->AddListener(this);
    if (CConfigurationTable* table = Table()) {
        table->AddListener(this);
        table->ShowFolder();
    }
}

void CConfigurationsWindow::ListenToMessage(MessageT message, void* ioParam)
{
    if (message == kMsgNew)
        DoNew();
    else if (message == kMsgDuplicate)
        DoDuplicateSelection();
    else if (message == kMsgRename)
        DoRenameSelection();
    else if (message == kMsgDelete)
        DoDeleteSelection();
    else if (message == kMsgEdit || message == CDragAndDropTable::kMsgDoubleClick)
        DoEditSelection();
    else if (message == kMsgHelp)
        OpenHelpPage("configurations.html");
    else
        GGrayscaleWindow::ListenToMessage(message, ioParam);
    BroadcastConfigurationsChanged();
}

bool CConfigurationsWindow::GetPaneHelpText(PaneIDT paneID, std::string& outText)
{
    for (const auto& [id, text] : kHelpTags) {
        if (id != paneID) continue;
        outText = text;
        return true;
    }
    return false;
}

bool CConfigurationsWindow::AskNewName(int dialog, const char* operation, std::string& outName)
{
    std::vector<std::string> typed;
    if (!RunFieldsDialog(dialog, operation, {kName}, typed)) return false;
    return CheckNewName(typed[0], outName);
}

bool CConfigurationsWindow::CheckNewName(const std::string& typed, std::string& outName)
{
    CConfigurationTable* table = Table();
    if (table) table->Refresh();
    int status = CheckConfigurationName(typed).Code();
    if (status == 0 && IsDefaultConfigurationName(typed)) status = -EPERM;
    if (status == 0 && ((table && table->IsListed(typed)) || ConfigurationExists(typed))) status = -EEXIST;
    if (status != 0) {
        Caution(RefusalText(typed, status));
        return false;
    }
    outName = typed;
    return true;
}

void CConfigurationsWindow::Finish(const CStatus& status, const std::string& name, const char* doing)
{
    CConfigurationTable* table = Table();
    if (status.Failed()) {
        if (table) table->ShowFolder();
        Caution("The configuration \"" + name + "\" could not be " + doing + ": " + status.Text() + ".");
        return;
    }
    if (table) table->Refresh();
}

void CConfigurationsWindow::DoNew()
{
    std::string name;
    if (!AskNewName(kNewNameDialog, "DoNew", name)) return;
    const CStatus status = CreateConfigurationFile(name, CConfiguration());
    if (status.Ok() && Table()) Table()->InsertRow(0, {name});
    Finish(status, name, "created");
}

void CConfigurationsWindow::DoDuplicateSelection()
{
    CConfigurationTable* table = Table();
    if (table == nullptr || table->SelectedRow() < 0) return;
    const std::string source = table->SelectedName();
    std::string name;
    if (!AskNewName(kDuplicateNameDialog, "DoDuplicateSelection", name)) return;
    const CStatus status = DuplicateConfigurationFile(source, name);
    if (status.Ok()) table->InsertRow(0, {name});
    Finish(status, name, "duplicated");
}

void CConfigurationsWindow::DoRenameSelection()
{
    CConfigurationTable* table = Table();
    if (table == nullptr || table->SelectedRow() < 0) return;
    const int row = table->SelectedRow();
    const std::string old = table->SelectedName();
    std::string name;
    if (!AskNewName(kRenameNameDialog, "DoRenameSelection", name)) return;
    const CStatus status = RenameConfigurationFile(old, name);
    if (status.Ok()) table->SetRowCells(row, {name});
    Finish(status, old, "renamed");
}

void CConfigurationsWindow::DoDeleteSelection()
{
    CConfigurationTable* table = Table();
    if (table == nullptr || table->SelectedRow() < 0) return;
    const std::string name = table->SelectedName();
    if (!ConfirmDelete(name)) return;
    const CStatus status = DeleteConfigurationFile(name);
    if (status.Ok()) table->RemoveRow(table->SelectedRow());
    Finish(status, name, "deleted");
}

void CConfigurationsWindow::DoEditSelection()
{
    CConfigurationTable* table = Table();
    if (table == nullptr || table->SelectedRow() < 0) return;
    // The editor replaces this window; this window only hides here and is
    // deleted once its message handling has returned.
    ShowEditConfigurationWindow(this, table->SelectedName());
}

CConfigurationsWindow* ShowConfigurationsWindow()
{
    auto* window = MakeWindowAs<CConfigurationsWindow>(kConfigurationsLayout, CApplication::Get(),
                                                       "ShowConfigurationsWindow");
    window->Show();
    window->Select();
    return window;
}

void BroadcastConfigurationsChanged()
{
    const std::vector<CWindow*> windows = CWindow::AllWindows();  // a listener may open or close windows
    for (CWindow* window : windows) {
        if (dynamic_cast<CConfigurationsWindow*>(window) || dynamic_cast<CEditConfigurationWindow*>(window)) continue;
        if (auto* listener = dynamic_cast<CListener*>(window)) listener->ListenToMessage(kMsgConfigurationsChanged, nullptr);
    }
}
