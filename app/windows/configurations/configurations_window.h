// The configurations window: the configuration files of the configurations
// folder by name, with New, Duplicate, Rename, Delete and Edit.
#pragma once

#include <string>
#include <vector>

#include "app/framework/grayscale_window.h"
#include "app/windows/configurations/drag_and_drop_table.h"
#include "foundation/errors/status.h"

// The names of the configurations folder's files (those not beginning with
// "."), in listing order. Rows are dragged out as text; nothing is dropped in.
class CConfigurationTable : public CDragAndDropTable {
public:
    explicit CConfigurationTable(QWidget* parent = nullptr);
    // Re-reads the folder into the name list (the rows stay).
    void Refresh();
    // Refresh, then the rows become the names (row 1 selected).
    void ShowFolder();
    const std::vector<std::string>& Names() const { return mNames; }
    bool IsListed(const std::string& name) const;
    std::string SelectedName() const;

protected:
    // The Delete key deletes the configuration (after asking), as the
    // Delete button does.
    void DeleteSelectedRow() override;

private:
    std::vector<std::string> mNames;
};

class CConfigurationsWindow : public GGrayscaleWindow {
public:
    CConfigurationsWindow(const SLayout& layout, CCommander* superCommander);
    // Tells the grabber windows that the configurations may have changed.
    ~CConfigurationsWindow() override;

    CConfigurationTable* Table() const;
    void ListenToMessage(MessageT message, void* ioParam) override;
    bool GetPaneHelpText(PaneIDT paneID, std::string& outText) override;

    void DoNew();
    void DoDuplicateSelection();
    void DoRenameSelection();
    void DoDeleteSelection();
    void DoEditSelection();

protected:
    void FinishCreateSelf() override;

private:
    // The name typed into a name dialog, when it is one the folder can take
    // (an alert says why not otherwise).
    bool AskNewName(int dialog, const char* operation, std::string& outName);
    bool CheckNewName(const std::string& typed, std::string& outName);
    // After a file operation: the rows follow the folder; a failure is shown.
    void Finish(const CStatus& status, const std::string& name, const char* doing);
};

CConfigurationsWindow* ShowConfigurationsWindow();
// Sends 'UPDT' to every open window outside the configuration windows.
void BroadcastConfigurationsChanged();
