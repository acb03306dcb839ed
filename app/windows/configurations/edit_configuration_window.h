// CEditConfigurationWindow: edits one named configuration in seven tabbed
// panels. It keeps the saved copy (as read or last saved) and the working
// copy the panels edit; nothing reaches the file until the user closes the
// window and chooses Save.
#pragma once

#include <memory>
#include <string>

#include "app/framework/grayscale_window.h"
#include "app/windows/configurations/configuration_panel_host.h"
#include "engine/config/configuration.h"

class CEditConfigurationPanel;
class CMessageWindow;
class QPrinter;

class CEditConfigurationWindow : public GGrayscaleWindow, public CConfigurationPanelHost {
public:
    static constexpr const char* kLastPanePreference = "Last Configuration Pane";

    CEditConfigurationWindow(const SLayout& layout, CCommander* superCommander);
    // The panel saves and goes first; the shown tab is remembered.
    ~CEditConfigurationWindow() override;

    // Reads the named configuration into both copies, shows the remembered
    // tab and titles the window.
    void SetConfiguration(const std::string& name);

    // Builds the panel of a panel layout; the current panel saves into the
    // working copy and goes before the new one is built.
    void InstallSamplePanel(int layoutNumber);
    CEditConfigurationPanel* GetPanel() const { return mPanel.get(); }
    int GetPanelLayout() const { return mPanelLayout; }

    // The window editing the start or finish text: one at a time, open until
    // it ends or the editor goes, whichever tab is shown meanwhile.
    CMessageWindow* OpenMessageWindow(bool start);
    CMessageWindow* GetMessageWindow() const { return mMessageWindow; }

    CConfiguration& WorkingCopy() override { return mWorking; }
    CConfiguration& SavedCopy() { return mSaved; }

    void ListenToMessage(MessageT message, void* ioParam) override;

    // CConfigurationPanelHost
    CCommander* PanelSuperCommander() override { return this; }
    void PanelMessage(MessageT message, void* ioParam) override { ListenToMessage(message, ioParam); }
    CEditConfigurationWindow& EditorWindow() override { return *this; }
    // The close box and the close command: the panel saves, then CloseEditor.
    bool AllowClose() override;
    // Asks Save / Don't Save / Cancel when the copies differ; true when the
    // user cancelled or the save failed (then the window stays with its
    // edits).
    bool CloseEditor();

    // Prints the working copy's summary; without a printer the print dialog
    // asks for one. False when nothing was printed.
    bool DoPrint(QPrinter* printer = nullptr);

    bool HandleCommand(CommandT command, void* ioParam) override;
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override;
    bool GetPaneHelpText(PaneIDT paneID, std::string& outText) override;

protected:
    void FinishCreateSelf() override;

private:
    void ReleasePanel();

    std::string mName;
    CConfiguration mSaved;
    CConfiguration mWorking;
    std::unique_ptr<CEditConfigurationPanel> mPanel;
    int mPanelLayout = 0;
    CMessageWindow* mMessageWindow = nullptr;
};

// Opens the editor on a configuration; when `toClose` is given, that window
// closes once the editor shows. A configuration whose file is there but
// cannot be read is told in an alert instead: null, and nothing closes.
CEditConfigurationWindow* ShowEditConfigurationWindow(CWindow* toClose, const std::string& name);
