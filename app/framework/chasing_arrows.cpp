#include "app/framework/chasing_arrows.h"

#include <QEvent>

CChasingArrows::CChasingArrows(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 1);
    setTextVisible(false);
    setMaximumWidth(fontMetrics().averageCharWidth() * 8);
}

bool CChasingArrows::event(QEvent* event)
{
    // The animation places the arrows by the time elapsed, so a frame left
    // out loses nothing: the next one drawn shows them where they belong.
    if (event->type() == QEvent::StyleAnimationUpdate) {
        if (mLastFrame.isValid() && mLastFrame.elapsed() < kFrameMilliseconds) return true;
        mLastFrame.start();
    }
    return QProgressBar::event(event);
}
