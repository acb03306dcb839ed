// Counts the paint events a widget receives: how often a window redraws a
// pane, whatever changed it.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace windowtest {

class CPaintCounter : public QObject {
public:
    explicit CPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace windowtest
