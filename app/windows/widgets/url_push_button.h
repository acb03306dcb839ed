// CURLPushButton: a link-style control. It draws its title in a colour,
// shows the pointing hand, tells its listeners of a click (its value
// message), and a shift-click drags its URL out as text.
#pragma once

#include <string>

#include <QAbstractButton>
#include <QColor>

#include "foundation/messaging/broadcaster.h"

class CURLPushButton : public QAbstractButton, public CBroadcaster {
public:
    CURLPushButton(const QString& title, const QString& url, MessageT valueMessage, QWidget* parent = nullptr);

    // The URL, or the title when there is no URL.
    QString URLOrTitle() const { return mURL.isEmpty() ? text() : mURL; }
    void SetURL(const QString& url) { mURL = url; }

    // The colour the title is drawn in: the link colour, the pressed colour
    // while pressed, and halfway to white while disabled.
    QColor TitleColour() const;

    // What a drag carries: the URL (or title) without the angle brackets of
    // "<...>" when it is at least 3 characters long.
    static QString DraggedText(const QString& urlOrTitle);
    // Starts the drag (called for a shift-click).
    void DragURL();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString mURL;
    QColor mColour = QColor::fromRgba64(0, 65535, 65535);
    MessageT mValueMessage;
};

// Halfway from `colour` to white, each 16-bit component as (c + 65535) / 2.
QColor LightenedHalfway(const QColor& colour);
