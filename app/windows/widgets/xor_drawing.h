// XORDrawing: feedback drawn over a view while the mouse drags, which leaves
// nothing behind when it goes. The region comes from the derived class; it
// is shown as a rubber band over the host widget.
#pragma once

#include <QPointer>
#include <QRect>

class QRubberBand;
class QWidget;

class XORDrawing {
public:
    explicit XORDrawing(QWidget* host);
    virtual ~XORDrawing();
    XORDrawing(const XORDrawing&) = delete;
    XORDrawing& operator=(const XORDrawing&) = delete;

    // Rebuilds the region and shows it.
    virtual void Draw();
    // Rebuilds the region and moves the feedback when it changed.
    virtual void Update();
    // Takes the feedback away and empties the region.
    virtual void Erase();
    // Empties the region without drawing.
    virtual void Clear();

    bool IsShown() const;

protected:
    virtual QRect BuildRegion() const = 0;

private:
    QPointer<QWidget> mHost;
    QPointer<QRubberBand> mBand;
    QRect mRegion;
};
