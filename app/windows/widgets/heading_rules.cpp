#include "app/windows/widgets/heading_rules.h"

#include <algorithm>

int ClampColumnWidth(const SColumnLimits& column, int width)
{
    width = std::max(width, column.minWidth);
    if (column.maxWidth != kNoMaxColumnWidth) width = std::min(width, column.maxWidth);
    return std::max(width, 0);
}

int LimitedMinWidth(int minWidth, int maxWidth) { return std::min(minWidth, maxWidth); }

int LimitedMaxWidth(int maxWidth, int minWidth) { return std::max(maxWidth, minWidth); }

int ColumnLeft(const std::vector<SColumnLimits>& columns, int column)
{
    int left = 0;
    for (int i = 1; i < column && i <= static_cast<int>(columns.size()); ++i) left += columns[i - 1].width;
    return left;
}

int FindResizeColumn(const std::vector<SColumnLimits>& columns, int x)
{
    // The last divider within reach wins, so a zero-width column's divider
    // (which coincides with its neighbour's) is the one found.
    int found = 0;
    int edge = 0;
    for (int column = 1; column <= static_cast<int>(columns.size()); ++column) {
        edge += columns[column - 1].width;
        if (x >= edge - 1 && x <= edge + 1) found = column;
    }
    if (found == 0) return 0;
    const auto isFixed = [&](int column) { return columns[column - 1].minWidth == columns[column - 1].maxWidth; };
    if (!isFixed(found)) return found;
    if (columns[found - 1].width != 0) return 0;
    for (int column = found - 1; column >= 1; --column)
        if (!isFixed(column)) return column;
    return 0;
}

SSpan ShiftSpan(const SSpan& span, int by)
{
    return {span.left + by, span.right == kUnboundedRight ? kUnboundedRight : span.right + by};
}

SSpan DividerBand(int edge) { return {edge - 1, edge + 2}; }

SSpan ResizeLimit(const std::vector<SColumnLimits>& columns, int column)
{
    if (column < 1 || column > static_cast<int>(columns.size())) return {};
    const SColumnLimits& limits = columns[column - 1];
    const int left = ColumnLeft(columns, column);
    const int right = limits.maxWidth == kNoMaxColumnWidth ? kUnboundedRight : left + limits.maxWidth + 1;
    return {left + limits.minWidth, right};
}

bool CanTrackResize(int orientation, const SSpan& limit)
{
    if (orientation != 1 && orientation != 2) return false;
    return !limit.IsEmpty() && limit.Width() >= DividerBand(0).Width();
}

int ClampTrackPoint(int x, const SSpan& limit, int grabOffset)
{
    const int edge = std::clamp(x - grabOffset, limit.left, limit.right - 1);
    return edge + grabOffset;
}
