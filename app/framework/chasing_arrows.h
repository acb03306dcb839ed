// The chasing arrows: a busy bar whose style animates it. The style asks
// for a frame some sixty times a second, and every frame repaints and wakes
// the event loop, which a running crawl pays for; a person sees the arrows
// move at a handful of frames a second just as well.
#pragma once

#include <QElapsedTimer>
#include <QProgressBar>

class CChasingArrows : public QProgressBar {
public:
    // The least time between two drawn frames of the animation.
    static constexpr qint64 kFrameMilliseconds = 100;

    explicit CChasingArrows(QWidget* parent);

protected:
    bool event(QEvent* event) override;

private:
    QElapsedTimer mLastFrame;
};
