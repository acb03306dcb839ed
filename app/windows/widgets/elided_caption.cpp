#include "app/windows/widgets/elided_caption.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

#include "app/framework/pane.h"

namespace {

class CElision : public QObject {
public:
    explicit CElision(QLabel* label) : QObject(label), mLabel(label) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != mLabel || event->type() != QEvent::Paint) return false;
        Paint();
        return true;
    }

private:
    void Paint() const
    {
        const QRect room = mLabel->contentsRect();
        const QString shown = mLabel->fontMetrics().elidedText(mLabel->text(), Qt::ElideMiddle, room.width());
        QPainter painter(mLabel);
        mLabel->style()->drawItemText(&painter, room, static_cast<int>(mLabel->alignment()), mLabel->palette(),
                                      mLabel->isEnabled(), shown, mLabel->foregroundRole());
    }

    QLabel* mLabel;
};

}  // namespace

void ElideCaptionInMiddle(CPane* caption)
{
    auto* label = caption != nullptr ? qobject_cast<QLabel*>(caption->GetWidget()) : nullptr;
    if (label == nullptr) return;
    // Painted elided, the text cannot be selected in part.
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    QSizePolicy policy = label->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    label->setSizePolicy(policy);
    label->installEventFilter(new CElision(label));
}
