#include "app/windows/widgets/live_resize_attachment.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWidget>

CLiveResizeAttachment::CLiveResizeAttachment(QWidget* host) : QObject(host), mHost(host)
{
    if (mHost == nullptr || mHost->minimumSize() == mHost->maximumSize()) return;
    mHost->installEventFilter(this);
    mWatching = true;
}

bool CLiveResizeAttachment::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != mHost) return false;
    if (event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size() != resize->oldSize()) {
            ++mRedraws;
            if (mHost->isVisible()) mHost->repaint();
        }
    } else if (event->type() == QEvent::Close) {
        mHost->removeEventFilter(this);
        mWatching = false;
    }
    return false;
}
