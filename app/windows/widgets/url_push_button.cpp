#include "app/windows/widgets/url_push_button.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

CURLPushButton::CURLPushButton(const QString& title, const QString& url, MessageT valueMessage, QWidget* parent)
    : QAbstractButton(parent), mURL(url), mValueMessage(valueMessage)
{
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { BroadcastMessage(mValueMessage, this); });
}

QColor LightenedHalfway(const QColor& colour)
{
    const QRgba64 c = colour.rgba64();
    return QColor::fromRgba64(static_cast<quint16>((c.red() + 65535u) / 2),
                              static_cast<quint16>((c.green() + 65535u) / 2),
                              static_cast<quint16>((c.blue() + 65535u) / 2));
}

QColor CURLPushButton::TitleColour() const
{
    if (!isEnabled()) return LightenedHalfway(palette().color(QPalette::Link));
    if (isDown()) return mColour;
    return palette().color(QPalette::Link);
}

QString CURLPushButton::DraggedText(const QString& urlOrTitle)
{
    if (urlOrTitle.size() >= 3 && urlOrTitle.front() == '<' && urlOrTitle.back() == '>')
        return urlOrTitle.mid(1, urlOrTitle.size() - 2);
    return urlOrTitle;
}

void CURLPushButton::DragURL()
{
    auto* data = new QMimeData;
    data->setText(DraggedText(URLOrTitle()));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(grab());
    drag->exec(Qt::CopyAction);
}

QSize CURLPushButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return metrics.size(Qt::TextSingleLine, text().section('\n', 0, 0)) + QSize(4, 4);
}

void CURLPushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont underlined = font();
    underlined.setUnderline(true);
    painter.setFont(underlined);
    painter.setPen(TitleColour());
    const Qt::Alignment horizontal = layoutDirection() == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(rect().adjusted(2, 2, -2, -2), horizontal | Qt::AlignVCenter | Qt::TextSingleLine,
                     text().section('\n', 0, 0));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CURLPushButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        DragURL();
        return;
    }
    QAbstractButton::mousePressEvent(event);
}
