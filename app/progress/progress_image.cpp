#include "app/progress/progress_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>

#include "app/progress/progress_picture.h"

std::string MakeProgressImage(std::int32_t number, std::int32_t index, std::int32_t count)
{
    QImage image = CreateBitmapContext(kProgressImageSide, kProgressImageSide);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawProgressPicture(painter, kProgressImageSide, number, index, count, false);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "JPEG", 100)) return {};
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
