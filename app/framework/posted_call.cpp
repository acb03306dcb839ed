#include "app/framework/posted_call.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
const QEvent::Type kPostedCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

CPostedCall::CPostedCall(std::function<void()> call) : mCall(std::move(call)) {}

void CPostedCall::Post()
{
    if (mPosted.exchange(true)) return;
    QCoreApplication::postEvent(this, new QEvent(kPostedCallEvent));
}

bool CPostedCall::event(QEvent* event)
{
    if (event->type() != kPostedCallEvent) return QObject::event(event);
    // Cleared first: a call that posts again is heard.
    mPosted = false;
    mCall();
    return true;
}
