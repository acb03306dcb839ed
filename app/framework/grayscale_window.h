// GGrayscaleWindow: the base of the program's main windows.
//   - Help tags: tool tips whose text comes from GetPaneHelpText by pane ID,
//     shown only while the settings' help-tags switch is on, after the
//     "Tag Delay" (SetHelpTagDelay).
//   - The window's place saved under its name when it goes and restored when
//     it is built (window_state.h); a saved place off every screen is pulled
//     back, and where the windowing system does not let programs place
//     windows (Wayland) only the size is restored.
//   - Panels swapped inside the 'PHST' host pane ('SMPT' marks windows that
//     have panels).
//   - Two control styles: the desktop's own (Appearance) and a grayscale
//     palette, applied when the window is activated.
#pragma once

#include <cstdint>
#include <string>

#include "app/framework/window.h"

class GGrayscaleWindow : public CWindow, public CListener {
public:
    enum EControlStyle : std::uint16_t { kInheritStyle = 1, kGrayscaleStyle = 2, kAppearanceStyle = 3 };

    inline static constexpr PaneIDT kSamplePane = MakeFourCharCode("SMPT");
    inline static constexpr PaneIDT kPanelHostPane = MakeFourCharCode("PHST");

    GGrayscaleWindow(const SLayout& layout, CCommander* superCommander);
    // Saves the window state.
    ~GGrayscaleWindow() override;

    const std::string& GetName() const { return mName; }
    // The preference key of the window state; derived classes set theirs.
    void SetName(std::string name) { mName = std::move(name); }

    bool IsInheritStyle() const { return mControlStyle == kInheritStyle; }
    bool IsGrayscaleStyle() const { return mControlStyle == kGrayscaleStyle; }
    bool IsAppearanceStyle() const { return mControlStyle == kAppearanceStyle; }
    void SetControlStyle(std::uint16_t style) { mControlStyle = style; }

    // The help text of a pane; the base class gives the layout's help tag.
    virtual bool GetPaneHelpText(PaneIDT paneID, std::string& outText);
    // The tag for the pane under a widget: false when help tags are off, no
    // pane is there, the pane is hidden or disabled, or it has no text.
    bool GetHelpContent(const QWidget* widget, std::string& outText);

    void SaveWindowState();
    void RestoreWindowState();

    // Builds the panel layout inside 'PHST' and makes it current (only when
    // 'SMPT' and 'PHST' exist); 'nilP' ("InstallSamplePanel") when it cannot
    // be built. The previous panel is deleted.
    void InstallSamplePanel(int layoutNumber);
    // Makes an existing pane the current panel (only when 'SMPT' exists);
    // 'nilP' ("SetupCurrentPanel") when there is no such pane.
    void SetupCurrentPanel(PaneIDT paneID);
    CPane* GetCurrentPanel() const { return mCurrentPanel; }

    // Applies the control style.
    void ActivateWindow() override;
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override;

    // Empty here; derived windows handle their panes' messages.
    void ListenToMessage(MessageT message, void* ioParam) override;

protected:
    // Restores the window state.
    void FinishCreateSelf() override;

private:
    std::string mName = "Gray window";
    CPane* mCurrentPanel = nullptr;
    std::uint16_t mControlStyle = kAppearanceStyle;
};

// The delay before a help tag shows, in milliseconds, for every window.
void SetHelpTagDelay(int milliseconds);
// Whether help tags show (the settings' switch when settings exist; this
// override otherwise, for tests and the time before start-up).
bool AreHelpTagsOn();
