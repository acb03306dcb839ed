#include "app/windows/quicker_grabber/framed_mona.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

QImage MakeFramedMona()
{
    constexpr int kWidth = 240, kHeight = 300, kFrame = 22;
    QImage picture(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // The gilt frame: a bevel of two golds around a dark inner edge.
    QLinearGradient gold(0, 0, kWidth, kHeight);
    gold.setColorAt(0.0, QColor(236, 200, 110));
    gold.setColorAt(0.5, QColor(168, 122, 40));
    gold.setColorAt(1.0, QColor(226, 184, 92));
    painter.fillRect(picture.rect(), gold);
    painter.setPen(QPen(QColor(110, 76, 20), 3));
    painter.drawRect(QRectF(1.5, 1.5, kWidth - 3, kHeight - 3));
    const QRect canvas(kFrame, kFrame, kWidth - 2 * kFrame, kHeight - 2 * kFrame);
    painter.drawRect(canvas.adjusted(-2, -2, 1, 1));

    // Landscape: a hazy sky over green-brown hills and a winding path.
    QLinearGradient sky(0, canvas.top(), 0, canvas.bottom());
    sky.setColorAt(0.0, QColor(150, 170, 150));
    sky.setColorAt(0.55, QColor(120, 130, 90));
    sky.setColorAt(1.0, QColor(70, 60, 35));
    painter.fillRect(canvas, sky);
    painter.setClipRect(canvas);
    painter.setPen(Qt::NoPen);
    QPainterPath hills;
    hills.moveTo(canvas.left(), canvas.top() + 120);
    hills.cubicTo(canvas.left() + 60, canvas.top() + 90, canvas.right() - 80, canvas.top() + 140, canvas.right(),
                  canvas.top() + 105);
    hills.lineTo(canvas.right(), canvas.bottom());
    hills.lineTo(canvas.left(), canvas.bottom());
    painter.setBrush(QColor(92, 100, 60));
    painter.drawPath(hills);

    // The sitter: dark dress and shoulders, folded hands, a veiled head.
    const int centre = canvas.center().x();
    QPainterPath body;
    body.moveTo(centre - 95, canvas.bottom());
    body.cubicTo(centre - 90, canvas.top() + 170, centre - 50, canvas.top() + 140, centre, canvas.top() + 138);
    body.cubicTo(centre + 50, canvas.top() + 140, centre + 90, canvas.top() + 170, centre + 95, canvas.bottom());
    body.closeSubpath();
    painter.setBrush(QColor(40, 32, 20));
    painter.drawPath(body);
    painter.setBrush(QColor(214, 168, 116));
    painter.drawEllipse(QRectF(centre - 32, canvas.top() + 200, 64, 26));  // hands
    painter.drawRect(QRectF(centre - 12, canvas.top() + 112, 24, 32));     // neck
    QRadialGradient skin(centre - 6, canvas.top() + 80, 48);
    skin.setColorAt(0.0, QColor(232, 190, 130));
    skin.setColorAt(1.0, QColor(180, 130, 80));
    painter.setBrush(skin);
    painter.drawEllipse(QRectF(centre - 30, canvas.top() + 45, 60, 78));  // face
    painter.setBrush(QColor(30, 22, 14));
    QPainterPath hair;
    hair.addEllipse(QRectF(centre - 40, canvas.top() + 35, 80, 70));
    QPainterPath face;
    face.addEllipse(QRectF(centre - 28, canvas.top() + 48, 56, 80));
    painter.drawPath(hair.subtracted(face));
    // A faint smile and eyes.
    painter.setPen(QPen(QColor(110, 60, 40), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(centre - 11, canvas.top() + 92, 22, 10), 200 * 16, 140 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(50, 35, 25));
    painter.drawEllipse(QPointF(centre - 11, canvas.top() + 78), 3, 2);
    painter.drawEllipse(QPointF(centre + 11, canvas.top() + 78), 3, 2);
    return picture;
}
