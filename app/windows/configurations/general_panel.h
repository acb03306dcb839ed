// The General panel (tab 1) and the offsite hosts sheet it opens.
#pragma once

#include <QDialog>

#include "app/windows/configurations/configuration_panel.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

class CGeneralPanel : public CEditConfigurationPanel {
public:
    CGeneralPanel(CConfigurationPanelHost& window, CPane& view);
    void FinishCreateSelf() override;
    void SaveToConfiguration() override;
    // The dependency rules, the folder chooser and the hosts sheet.
    void ListenToMessage(MessageT message, void* ioParam) override;
    bool GetPaneHelpText(PaneIDT paneID, std::string& outText) const override;

private:
    // Enables what the loaded check boxes allow, without changing a value.
    void ApplyEnabling();
    void FillEmptyExtension();
    void ChooseFolder();
};

// The offsite hosts of the editor's working copy, edited in a sheet of the
// editor; changes reach the working copy at once.
class CHostsWindow : public QDialog {
public:
    explicit CHostsWindow(CEditConfigurationWindow& editor);

    // "????" as a new last host.
    void AddHost();
    // Removes the selected host; the same row (or the one before the last)
    // is selected afterwards.
    void DeleteSelectedHost();
    QListWidget* List() const { return mList; }
    static CHostsWindow* OpenFor(CEditConfigurationWindow& editor);

private:
    void Fill(int selectRow);
    void HostEdited(QListWidgetItem* item);

    CEditConfigurationWindow& mEditor;
    QListWidget* mList;
    QPushButton* mDelete;
};
