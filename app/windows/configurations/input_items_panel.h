// The Input items panel (tab 7): the form a crawl submits first, captured
// from a page, and a test submission of it.
#pragma once

#include "app/windows/configurations/configuration_panel.h"

class CInputItemsPanel : public CEditConfigurationPanel {
public:
    static constexpr MessageT kMsgNewItem = MakeFourCharCode("NINP");
    static constexpr MessageT kMsgDeleteItem = MakeFourCharCode("DINP");
    static constexpr MessageT kMsgEditItem = MakeFourCharCode("EINP");

    CInputItemsPanel(CConfigurationPanelHost& window, CPane& view);
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;

    // 'LOAD': fetches and parses the form URL. False (and a beep) when the
    // field is empty or no form was found.
    bool LoadForm();
    // 'TEST': submits the items to the action URL and saves the answer.
    bool TestSubmission();
    void Clear();

private:
    void ReloadFromWorkingCopy();
};
