#include "app/progress/progress_picture.h"

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "app/progress/progress_icons.h"

namespace {

constexpr int kDiscAlpha = 64;   // black at 0.25
constexpr int kPieAlpha = 102;   // black at 0.4
constexpr int kNumberPixels = 48;
// The number's baseline starts this far from the lower left corner.
constexpr int kNumberLeft = 20;
constexpr int kNumberBottom = 32;

void PlotOverSquare(QPainter& painter, int side, const QImage& image)
{
    if (!image.isNull()) painter.drawImage(QRectF(0, 0, side, side), image);
}

}  // namespace

int ProgressPieDegrees(std::int32_t index, std::int32_t count)
{
    if (count <= 0 || index <= 0) return 0;
    if (index >= count) return 360;
    // In double precision: single precision would round an index just short
    // of the count up to a full turn.
    return static_cast<int>(static_cast<double>(index) / count * 360.0);
}

void DrawProgressPicture(QPainter& painter, int side, std::int32_t number, std::int32_t index, std::int32_t count,
                         bool paused)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PlotOverSquare(painter, side, ApplicationIconImage());

    const QRectF square(0, 0, side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, kDiscAlpha));
    painter.drawEllipse(square);
    const int degrees = ProgressPieDegrees(index, count);
    if (degrees >= 360) {
        painter.setBrush(QColor(0, 0, 0, kPieAlpha));
        painter.drawEllipse(square);
    } else if (degrees > 0) {
        painter.setBrush(QColor(0, 0, 0, kPieAlpha));
        // From twelve o'clock, clockwise (Qt counts sixteenths of a degree,
        // counter-clockwise from three o'clock).
        painter.drawPie(square, 90 * 16, -degrees * 16);
    }

    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kNumberPixels);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(kNumberLeft, side - kNumberBottom), QString::number(number));

    if (paused) PlotOverSquare(painter, side, PauseBadgeImage());
    painter.restore();
}

QImage CreateBitmapContext(int width, int height)
{
    if (width <= 0 || height <= 0) return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    return image;
}
