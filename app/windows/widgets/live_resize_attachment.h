// CLiveResizeAttachment: a resizable window lays out and redraws its
// contents at once while the user drags its size, rather than after the
// drag. A fixed-size window is left alone. The attachment belongs to the
// window (a child object) and lets go when the window closes.
#pragma once

#include <QObject>

class QWidget;

class CLiveResizeAttachment : public QObject {
public:
    explicit CLiveResizeAttachment(QWidget* host);

    // Whether it watches the host (resizable, not yet closed).
    bool IsWatching() const { return mWatching; }
    // Redraws done for a change of size (moves do not count).
    int Redraws() const { return mRedraws; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* mHost;
    bool mWatching = false;
    int mRedraws = 0;
};
