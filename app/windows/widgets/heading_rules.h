// The rules of resizable column headings, apart from any drawing: width
// limits, which column a divider drags, and how far a drag may go.
// Columns count from 1; x positions are in the heading's content (column 1
// starts at 0).
#pragma once

#include <vector>

// A maximum of this width means no limit.
inline constexpr int kNoMaxColumnWidth = 65535;

struct SColumnLimits {
    int width = 0;
    int minWidth = 0;
    int maxWidth = kNoMaxColumnWidth;
};

// The right end of a span that has none.
inline constexpr int kUnboundedRight = 1 << 30;

// A horizontal span [left, right).
struct SSpan {
    int left = 0;
    int right = 0;
    int Width() const { return right - left; }
    bool IsEmpty() const { return right <= left; }
};

// The span moved by `by`; an unbounded right end stays unbounded.
SSpan ShiftSpan(const SSpan& span, int by);

// The width pulled into [minimum, maximum] (no upper bound at 65535).
int ClampColumnWidth(const SColumnLimits& column, int width);
// What the limit setters store: a minimum never above the maximum, a maximum
// never below the minimum.
int LimitedMinWidth(int minWidth, int maxWidth);
int LimitedMaxWidth(int maxWidth, int minWidth);

// The left edge of a column (one past the last column: the end of the last).
int ColumnLeft(const std::vector<SColumnLimits>& columns, int column);

// The column that dragging the divider at `x` resizes, or 0. A point within
// one pixel of a column's right edge is on that divider (the last one counts
// past the end too). A fixed column (minimum equal to maximum) gives no
// divider unless its width is 0: then the nearest resizable column to its left
// is dragged.
int FindResizeColumn(const std::vector<SColumnLimits>& columns, int x);

// The band a divider's feedback covers around the edge at `edge`.
SSpan DividerBand(int edge);
// Where the right edge of `column` may travel: from its left edge plus its
// minimum to its left edge plus its maximum (no end for 65535).
SSpan ResizeLimit(const std::vector<SColumnLimits>& columns, int column);
// A drag is refused for an orientation other than 1 (rows) or 2 (columns),
// an empty limit, or a limit narrower than the divider band.
bool CanTrackResize(int orientation, const SSpan& limit);
// The mouse pulled in so that the edge it drags (`grabOffset` to the mouse's
// left) stays inside the limit.
int ClampTrackPoint(int x, const SSpan& limit, int grabOffset);
