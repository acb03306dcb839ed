// Radio groups as panes: a group ('RGrp', a titled box) holds radio buttons
// ('Rdio') as its sub-panes, and its value is the pane ID of the button that
// is on. Buttons of one group exclude each other; a button's layout value 1
// turns it on at the start.
#pragma once

#include "app/framework/pane.h"

inline constexpr ClassIDT kClassRadioGroup = MakeFourCharCode("RGrp");
inline constexpr ClassIDT kClassRadioButton = MakeFourCharCode("Rdio");

class CRadioGroupPane : public CPane {
public:
    CRadioGroupPane(const SPaneSpec& spec, QWidget* parent);
    // The ID of the button that is on; 0 when none is.
    std::int32_t GetValue() const override;
    // Turns on the button with that ID (others go off); broadcasts on a change.
    void SetValue(std::int32_t value) override;
};

void RegisterRadioGroups();
