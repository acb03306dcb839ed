// The Logging panel (tab 6): reports, site map, user agent, mail, and the
// start and finish texts edited in a message window.
#pragma once

#include "app/windows/configurations/configuration_panel.h"
#include "app/windows/configurations/message_window.h"

class CMiscPanel : public CEditConfigurationPanel {
public:
    CMiscPanel(CConfigurationPanelHost& window, CPane& view);
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;

    CMessageWindow* GetMessageWindow() const;
    // Fills the user-agent popup from the settings' list; with help tags on,
    // each agent's item shows its string.
    void FillUserAgents();

private:
    // The edit buttons wait while a message window is open.
    void EnableMessageButtons();
};
