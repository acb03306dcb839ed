#include "app/windows/widgets/no_click_attachment.h"

#include <QEvent>
#include <QWidget>

CNoClickAttachment& CNoClickAttachment::Shared()
{
    static CNoClickAttachment* shared = new CNoClickAttachment;
    return *shared;
}

void CNoClickAttachment::AttachTo(QWidget* widget)
{
    if (widget != nullptr) widget->installEventFilter(this);
}

bool CNoClickAttachment::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}
