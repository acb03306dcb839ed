// The Logging panel (tab 6): reports, site map, user agent, mail, and the
// start and finish texts edited in a message window.
#pragma once

#include "app/framework/window.h"
#include "app/windows/configurations/configuration_panel.h"

// The window that edits a start or finish text. Its close box is Cancel.
class CMessageWindow : public CWindow {
public:
    CMessageWindow(const SLayout& layout, CCommander* superCommander);
    void SetOnCloseBox(std::function<void()> onCloseBox) { mOnCloseBox = std::move(onCloseBox); }
    bool AllowClose() override;

private:
    std::function<void()> mOnCloseBox;
};

class CMiscPanel : public CEditConfigurationPanel {
public:
    CMiscPanel(CEditConfigurationWindow& window, CPane& view);
    ~CMiscPanel() override;
    void FinishCreateSelf() override;
    void ListenToMessage(MessageT message, void* ioParam) override;

    CMessageWindow* GetMessageWindow() const { return mMessageWindow; }
    // Fills the user-agent popup from the settings' list.
    void FillUserAgents();

private:
    void OpenMessageWindow(bool start);
    void EndMessageWindow(bool keep);

    CMessageWindow* mMessageWindow = nullptr;
    bool mEditingStart = false;
    std::string mShownMessage;
};
