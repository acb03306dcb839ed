// CResizableHeading ('RzHd'): a heading whose columns keep a minimum and a
// maximum width and whose dividers the user drags, inside an enclosing
// CResizerTrackerView, live or with a feedback band (heading_rules.h holds
// the rules).
#pragma once

#include <cstdint>
#include <vector>

#include "app/windows/widgets/heading_rules.h"
#include "app/windows/widgets/heading_table.h"
#include "app/windows/widgets/resizer_tracker_view.h"

inline constexpr ClassIDT kClassResizableHeading = MakeFourCharCode("RzHd");

class CResizableHeading : public CHeadingTable, public CResizerTrackerView::CResizerTarget {
public:
    CResizableHeading(const SPaneSpec& spec, QWidget* parent);

    int GetMinColWidth(int column) const;
    void SetMinColWidth(int column, int width);
    int GetMaxColWidth(int column) const;
    void SetMaxColWidth(int column, int width);
    bool HasResized(int column) const;
    void ResetResizedFlag(int column);
    void SetLiveResizing(bool live) { mLiveResizing = live; }

    // Every width is kept inside its column's limits.
    void SetColumnWidth(int column, int width) override;

    // The columns' widths and limits, for the divider rules.
    std::vector<SColumnLimits> ColumnLimits() const;
    // The column whose divider is at the view's x; 0 none.
    int DividerColumnAt(int viewX) const;

    bool HeadingMousePress(int x) override;
    bool HeadingMouseMove(int x, bool buttonDown) override;
    bool HeadingMouseRelease(int x) override;

    void BeginResize(int index) override;
    void ResizeMove(int fromX, int toX) override;
    void EndResize(int x) override;

protected:
    // New columns get the default minimum and no maximum.
    void ColumnsInserted(int count, int afterColumn) override;

private:
    CResizerTrackerView* EnclosingTracker() const;
    int TrackerX(int viewX) const;

    std::vector<int> mMinWidths;
    std::vector<int> mMaxWidths;
    std::vector<std::uint8_t> mResized;
    int mDefaultMinWidth = 20;
    int mTrackedColumn = 0;
    int mDragStart = 0;
    int mWidthAtStart = 0;
    bool mLiveResizing = false;
};

// Registers the heading table, the resizable heading and the resizer tracker.
void RegisterHeadingTables();
