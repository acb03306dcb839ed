// The panes the configuration windows add to the framework's classes:
//   'D&DT' a one-column drag-and-drop table    'RTBL' realms table (realm, user name, password)
//   'ITBL' input items table (name, value)     'DTBL' delimiters table (start, end)
//   'NUMF' number field with arrows, held to its layout entry's minValue..maxValue
//   'TABB' tab bar: caption holds the tab titles separated by '\n', value the tab from 1
//   'MTXT' editable multi-line text
#pragma once

#include <string>
#include <string_view>

#include "app/framework/pane.h"

class CDragAndDropTable;

inline constexpr ClassIDT kClassDragAndDropTable = MakeFourCharCode("D&DT");
inline constexpr ClassIDT kClassRealmsTable = MakeFourCharCode("RTBL");
inline constexpr ClassIDT kClassInputItemsTable = MakeFourCharCode("ITBL");
inline constexpr ClassIDT kClassDelimitersTable = MakeFourCharCode("DTBL");
inline constexpr ClassIDT kClassNumberField = MakeFourCharCode("NUMF");
inline constexpr ClassIDT kClassTabBar = MakeFourCharCode("TABB");
inline constexpr ClassIDT kClassEditableText = MakeFourCharCode("MTXT");

// A pane over a drag-and-drop table; its value is the selected row from 1
// (0: none).
class CTablePane : public CPane {
public:
    CTablePane(const SPaneSpec& spec, CDragAndDropTable* table);
    CDragAndDropTable* Table() const;
    std::int32_t GetValue() const override;
    void SetValue(std::int32_t value) override;
};

class CNumberFieldPane : public CPane {
public:
    CNumberFieldPane(const SPaneSpec& spec, QWidget* parent);
    std::string GetDescriptor() const override;
    // The text's leading decimal number, held to the range.
    void SetDescriptor(std::string_view text) override;
    std::int32_t GetValue() const override;
    void SetValue(std::int32_t value) override;
    std::int32_t GetMinValue() const override;
    std::int32_t GetMaxValue() const override;
};

class CTabBarPane : public CPane {
public:
    CTabBarPane(const SPaneSpec& spec, QWidget* parent);
    std::int32_t GetValue() const override;
    // Selects tab `value` (1..count) and broadcasts when it changed.
    void SetValue(std::int32_t value) override;
    std::int32_t GetMaxValue() const override;

private:
    bool mQuiet = false;
};

class CEditableTextPane : public CPane {
public:
    CEditableTextPane(const SPaneSpec& spec, QWidget* parent);
};

void RegisterConfigurationPanes();
