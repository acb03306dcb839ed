#include "app/windows/widgets/resizable_heading.h"

#include <QHeaderView>
#include <QWidget>

#include "app/framework/class_registrar.h"

CResizableHeading::CResizableHeading(const SPaneSpec& spec, QWidget* parent) : CHeadingTable(spec, parent) {}

void CResizableHeading::ColumnsInserted(int count, int afterColumn)
{
    const auto at = static_cast<std::ptrdiff_t>(afterColumn);
    const auto n = static_cast<std::size_t>(count);
    mMinWidths.insert(mMinWidths.begin() + at, n, mDefaultMinWidth);
    mMaxWidths.insert(mMaxWidths.begin() + at, n, kNoMaxColumnWidth);
    mResized.insert(mResized.begin() + at, n, 0);
}

std::vector<SColumnLimits> CResizableHeading::ColumnLimits() const
{
    std::vector<SColumnLimits> limits;
    for (int column = 1; column <= GetColumnCount(); ++column)
        limits.push_back({GetColumnWidth(column), GetMinColWidth(column), GetMaxColWidth(column)});
    return limits;
}

int CResizableHeading::GetMinColWidth(int column) const
{
    return column >= 1 && column <= static_cast<int>(mMinWidths.size()) ? mMinWidths[column - 1] : 0;
}

int CResizableHeading::GetMaxColWidth(int column) const
{
    return column >= 1 && column <= static_cast<int>(mMaxWidths.size()) ? mMaxWidths[column - 1] : kNoMaxColumnWidth;
}

void CResizableHeading::SetMinColWidth(int column, int width)
{
    if (column < 1 || column > static_cast<int>(mMinWidths.size())) return;
    mMinWidths[column - 1] = LimitedMinWidth(width, mMaxWidths[column - 1]);
    if (GetColumnWidth(column) < mMinWidths[column - 1]) SetColumnWidth(column, mMinWidths[column - 1]);
}

void CResizableHeading::SetMaxColWidth(int column, int width)
{
    if (column < 1 || column > static_cast<int>(mMaxWidths.size())) return;
    mMaxWidths[column - 1] = LimitedMaxWidth(width, mMinWidths[column - 1]);
    if (GetColumnWidth(column) > mMaxWidths[column - 1]) SetColumnWidth(column, mMaxWidths[column - 1]);
}

bool CResizableHeading::HasResized(int column) const
{
    return column >= 1 && column <= static_cast<int>(mResized.size()) && mResized[column - 1] != 0;
}

void CResizableHeading::ResetResizedFlag(int column)
{
    if (column >= 1 && column <= static_cast<int>(mResized.size())) mResized[column - 1] = 0;
}

void CResizableHeading::SetColumnWidth(int column, int width)
{
    if (column < 1 || column > static_cast<int>(mMinWidths.size())) return;
    CHeadingTable::SetColumnWidth(column, ClampColumnWidth({width, mMinWidths[column - 1], mMaxWidths[column - 1]}, width));
}

int CResizableHeading::DividerColumnAt(int viewX) const
{
    return FindResizeColumn(ColumnLimits(), ContentX(viewX));
}

CResizerTrackerView* CResizableHeading::EnclosingTracker() const
{
    for (CPane* pane = GetSuperPane(); pane != nullptr; pane = pane->GetSuperPane())
        if (auto* tracker = dynamic_cast<CResizerTrackerView*>(pane)) return tracker;
    return nullptr;
}

int CResizableHeading::TrackerX(int viewX) const
{
    CResizerTrackerView* tracker = EnclosingTracker();
    QWidget* from = GetHeaderView()->viewport();
    if (tracker == nullptr || tracker->GetWidget() == nullptr) return viewX;
    return from->mapTo(tracker->GetWidget(), QPoint(viewX, 0)).x();
}

bool CResizableHeading::HeadingMousePress(int x)
{
    CResizerTrackerView* tracker = EnclosingTracker();
    const int column = DividerColumnAt(x);
    if (tracker == nullptr || column == 0) return false;
    const std::vector<SColumnLimits> limits = ColumnLimits();
    // The limit and the edge in the tracker's coordinates.
    const int shift = TrackerX(x) - ContentX(x);
    const SSpan limit = ShiftSpan(ResizeLimit(limits, column), shift);
    const int edge = ColumnLeft(limits, column + 1) + shift;
    mTrackedColumn = column;
    mDragStart = TrackerX(x);
    mWidthAtStart = GetColumnWidth(column);
    if (!tracker->TrackResizer(column, 2, this, mDragStart, edge, limit, mLiveResizing)) {
        mTrackedColumn = 0;
        return false;
    }
    return true;
}

bool CResizableHeading::HeadingMouseMove(int x, bool buttonDown)
{
    CResizerTrackerView* tracker = EnclosingTracker();
    if (tracker != nullptr && tracker->IsTracking() && mTrackedColumn != 0) {
        if (buttonDown) tracker->TrackMove(TrackerX(x));
        return true;
    }
    QWidget* viewport = GetHeaderView()->viewport();
    if (tracker != nullptr && DividerColumnAt(x) != 0) viewport->setCursor(Qt::SplitHCursor);
    else viewport->unsetCursor();
    return false;
}

bool CResizableHeading::HeadingMouseRelease(int x)
{
    CResizerTrackerView* tracker = EnclosingTracker();
    if (tracker == nullptr || !tracker->IsTracking() || mTrackedColumn == 0) return false;
    tracker->TrackEnd(TrackerX(x));
    return true;
}

void CResizableHeading::BeginResize(int index) { mTrackedColumn = index; }

void CResizableHeading::ResizeMove(int fromX, int toX)
{
    if (!mLiveResizing || mTrackedColumn == 0) return;
    SetColumnWidth(mTrackedColumn, GetColumnWidth(mTrackedColumn) + (toX - fromX));
    mResized[mTrackedColumn - 1] = 1;
}

void CResizableHeading::EndResize(int x)
{
    if (mTrackedColumn == 0) return;
    if (!mLiveResizing) SetColumnWidth(mTrackedColumn, mWidthAtStart + (x - mDragStart));
    mResized[mTrackedColumn - 1] = 1;
    mTrackedColumn = 0;
    mDragStart = 0;
}

void RegisterHeadingTables()
{
    CClassRegistrar::RegisterPane(kClassHeadingTable, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CHeadingTable>(spec, parent);
    });
    CClassRegistrar::RegisterPane(kClassResizableHeading, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CResizableHeading>(spec, parent);
    });
    CClassRegistrar::RegisterPane(kClassResizerTracker, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CResizerTrackerView>(spec, parent);
    });
}
