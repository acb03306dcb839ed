// The shared widgets as framework panes, so layouts can name them by class
// ID: 'CDDT' drop field, 'Dtxt' dirty text, 'CQTV' picture view, 'URpb' link
// button (its caption is "title\nURL").
#pragma once

#include <string>
#include <string_view>

#include "app/framework/pane.h"

class CDDTextField;
class CDirtyText;
class CQuickTimeView;
class CURLPushButton;

inline constexpr ClassIDT kClassDDTextField = MakeFourCharCode("CDDT");
inline constexpr ClassIDT kClassDirtyText = MakeFourCharCode("Dtxt");
inline constexpr ClassIDT kClassQuickTimeView = MakeFourCharCode("CQTV");
inline constexpr ClassIDT kClassURLPushButton = MakeFourCharCode("URpb");

// A drop field; like every edit field pane it broadcasts kMsgKeyPress for
// each key.
class CDDTextFieldPane : public CPane {
public:
    CDDTextFieldPane(const SPaneSpec& spec, QWidget* parent);
    CDDTextField* Field() const;
};

class CDirtyTextPane : public CPane {
public:
    CDirtyTextPane(const SPaneSpec& spec, QWidget* parent);
    CDirtyText* Text() const;
    std::string GetDescriptor() const override;
    void SetDescriptor(std::string_view text) override;
};

class CQuickTimeViewPane : public CPane {
public:
    CQuickTimeViewPane(const SPaneSpec& spec, QWidget* parent);
    CQuickTimeView* View() const;
};

// Broadcasts its value message when clicked, like every button pane.
class CURLPushButtonPane : public CPane {
public:
    CURLPushButtonPane(const SPaneSpec& spec, QWidget* parent);
    CURLPushButton* Button() const;
};

// Registers the four classes with the class registrar.
void RegisterWidgetPanes();
