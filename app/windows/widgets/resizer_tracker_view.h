// CResizerTrackerView ('RzTk'): a view that encloses a resizable heading and
// its body and follows the drag of a divider, either resizing live or
// showing a feedback band across its whole height and resizing once at the
// end. Positions are the view's own x coordinates.
#pragma once

#include "app/framework/pane.h"
#include "app/windows/widgets/heading_rules.h"
#include "app/windows/widgets/xor_drawing.h"

inline constexpr ClassIDT kClassResizerTracker = MakeFourCharCode("RzTk");

class CResizerTrackerView : public CPane, public XORDrawing {
public:
    // What a view that can be resized by dragging implements.
    class CResizerTarget {
    public:
        virtual ~CResizerTarget() = default;
        virtual void BeginResize(int index) = 0;
        virtual void ResizeMove(int fromX, int toX) = 0;
        virtual void EndResize(int x) = 0;
    };

    CResizerTrackerView(const SPaneSpec& spec, QWidget* parent);

    // Starts following a drag of the divider whose edge is at `edge`, grabbed
    // at `startX`; `limit` bounds the edge. False when refused (see
    // CanTrackResize); the target is then not called.
    bool TrackResizer(int index, int orientation, CResizerTarget* target, int startX, int edge, const SSpan& limit,
                      bool live);
    // The mouse moved or went up during a drag (ignored when none runs).
    void TrackMove(int x);
    void TrackEnd(int x);
    bool IsTracking() const { return mTracking; }

protected:
    QRect BuildRegion() const override;

private:
    CResizerTarget* mTarget = nullptr;
    SSpan mLimit;
    int mIndex = 0;
    int mLastX = 0;
    int mGrabOffset = 0;  // from the dragged edge to the mouse
    bool mTracking = false;
    bool mLive = false;
    int mOrientation = 2;
};
