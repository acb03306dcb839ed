// Panes: the framework's controls and views, each over one Qt widget and
// carrying the four-character ID its layout gave it.
//
// A pane is a broadcaster: when the user changes a control (clicks a button,
// picks a popup item, toggles a box, presses a key in an edit field), it
// broadcasts its value message with a pointer to its std::int32_t value
// (kMsgKeyPress carries a pointer to the typed character instead). Setting a
// value from code broadcasts too, as controls always have; text changes do
// not.
//
// The window owns its panes; a pane owns its sub-panes and its widget (the
// widget may also be freed by Qt first; the pane notices).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "app/framework/framework_codes.h"
#include "app/framework/layout.h"

class CPane : public CBroadcaster {
public:
    // Takes the widget made for the layout entry; the creator has parented it.
    CPane(const SPaneSpec& spec, QWidget* widget);
    ~CPane() override;
    CPane(const CPane&) = delete;
    CPane& operator=(const CPane&) = delete;

    PaneIDT GetPaneID() const { return mID; }
    QWidget* GetWidget() const { return mWidget.data(); }
    CPane* GetSuperPane() const { return mSuper; }
    const std::vector<std::unique_ptr<CPane>>& SubPanes() const { return mSubPanes; }

    // This pane or one below it, depth first; null when none has the ID.
    CPane* FindPaneByID(PaneIDT id);
    // The pane whose widget is `widget` or holds it, below this one.
    CPane* FindPaneForWidget(const QWidget* widget);
    template <class T>
    T* FindPaneAs(PaneIDT id) { return dynamic_cast<T*>(FindPaneByID(id)); }
    // Every pane below this one, however deep, tells `listener`.
    void AddListenerBelow(CListener* listener);

    // Adopts a pane built for this one's grid (the layout builder's step).
    CPane* AddSubPane(std::unique_ptr<CPane> pane, const SPaneCell& cell, bool stretch);
    // Frees a sub-pane with its widget and everything below it.
    void DeleteSubPane(CPane* pane);

    // Visible means "shown when the window is": the pane's own flag.
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    virtual void SetVisible(bool visible);
    bool IsVisible() const;
    void Enable() { SetEnabled(true); }
    void Disable() { SetEnabled(false); }
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // Visible and enabled up to the window (the help tags' test).
    bool IsVisibleAndEnabled() const;
    // Gives the pane the keyboard focus.
    virtual void MakeKeyboardTarget();

    // Text of captions, edit fields, text views, buttons and boxes (title).
    virtual std::string GetDescriptor() const;
    virtual void SetDescriptor(std::string_view text);

    // Buttons 0; check boxes 0/1; popups the item number from 1; progress
    // bars their value. Setting clamps into min..max where the pane has one,
    // and broadcasts the value message when the value changed.
    virtual std::int32_t GetValue() const;
    virtual void SetValue(std::int32_t value);
    virtual std::int32_t GetMinValue() const;
    virtual std::int32_t GetMaxValue() const;
    virtual void SetMinValue(std::int32_t value);
    virtual void SetMaxValue(std::int32_t value);

    MessageT GetValueMessage() const { return mValueMessage; }
    void SetValueMessage(MessageT message) { mValueMessage = message; }
    void BroadcastValueMessage();

    // The layout's help tag (windows may supply their own instead).
    const std::string& GetHelpTag() const { return mHelpTag; }

    // Popup menus ('popm'); item numbers count from 1. Other panes ignore
    // these and count no items.
    virtual void RemoveAllMenuItems();
    virtual void AppendMenuItem(std::string_view text, bool enabled = true);
    virtual int CountMenuItems() const;
    virtual std::string GetMenuItemText(int item) const;
    virtual bool IsMenuItemEnabled(int item) const;

    // Chasing arrows and progress bars: an indeterminate animation.
    virtual void StartIdling();
    virtual void StopIdling();

protected:
    // For creators: the grid the sub-panes go into (made on first use).
    QWidget* ContentWidget() const;

private:
    PaneIDT mID;
    MessageT mValueMessage;
    std::string mHelpTag;
    QPointer<QWidget> mWidget;
    CPane* mSuper = nullptr;
    std::vector<std::unique_ptr<CPane>> mSubPanes;
    bool mSettingValue = false;
    std::int32_t mPlainValue = 0;  // panes whose widget keeps no value
};
