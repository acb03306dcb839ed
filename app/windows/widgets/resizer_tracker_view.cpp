#include "app/windows/widgets/resizer_tracker_view.h"

#include <QGridLayout>
#include <QWidget>

namespace {

QWidget* MakeView(QWidget* parent)
{
    auto* view = new QWidget(parent);
    auto* grid = new QGridLayout(view);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    return view;
}

}  // namespace

CResizerTrackerView::CResizerTrackerView(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, MakeView(parent)), XORDrawing(GetWidget())
{
}

bool CResizerTrackerView::TrackResizer(int index, int orientation, CResizerTarget* target, int startX, int edge,
                                       const SSpan& limit, bool live)
{
    if (mTracking || target == nullptr || !CanTrackResize(orientation, limit)) return false;
    mTarget = target;
    mLimit = limit;
    mIndex = index;
    mOrientation = orientation;
    mGrabOffset = startX - edge;
    mLastX = ClampTrackPoint(startX, mLimit, mGrabOffset);
    mLive = live;
    mTarget->BeginResize(index);
    if (!mLive) Draw();
    mTracking = true;
    return true;
}

void CResizerTrackerView::TrackMove(int x)
{
    if (!mTracking) return;
    const int pulled = ClampTrackPoint(x, mLimit, mGrabOffset);
    if (pulled == mLastX) return;
    const int from = mLastX;
    mLastX = pulled;
    mTarget->ResizeMove(from, pulled);
    if (!mLive) Update();
}

void CResizerTrackerView::TrackEnd(int x)
{
    if (!mTracking) return;
    TrackMove(x);
    mTracking = false;
    if (!mLive) Erase();
    CResizerTarget* target = mTarget;
    mTarget = nullptr;
    target->EndResize(mLastX);
}

// The divider band around the dragged edge, across the whole view.
QRect CResizerTrackerView::BuildRegion() const
{
    const SSpan band = DividerBand(mLastX - mGrabOffset);
    const int height = GetWidget() != nullptr ? GetWidget()->height() : 0;
    return QRect(band.left, 0, band.Width(), height);
}
