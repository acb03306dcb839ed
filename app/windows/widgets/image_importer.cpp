#include "app/windows/widgets/image_importer.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <qdrawutil.h>

#include "engine/transfer/http_request.h"
#include "foundation/settings/app_settings.h"

namespace {

constexpr std::uint32_t kURLTimeoutSeconds = 60;

// Null when the bytes do not decode within the limits.
QImage DecodeBounded(QImageReader& reader)
{
    reader.setAllocationLimit(CImageImporter::kAllocationLimitMB);
    const QSize claimed = reader.size();
    if (claimed.isValid() &&
        static_cast<long long>(claimed.width()) * claimed.height() > CImageImporter::kMaxImagePixels)
        return {};
    QImage picture;
    if (!reader.read(&picture)) return {};
    return picture;
}

}  // namespace

std::unique_ptr<CImageImporter> CImageImporter::FromData(std::string_view bytes)
{
    auto importer = std::make_unique<CImageImporter>();
    if (bytes.empty()) return importer;
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    importer->mPicture = DecodeBounded(reader);
    importer->mOK = !importer->mPicture.isNull();
    return importer;
}

std::unique_ptr<CImageImporter> CImageImporter::FromURL(const std::string& url, const std::string& user,
                                                        const std::string& password)
{
    HTTPRequest request(kURLTimeoutSeconds, false);
    const std::string agent = gAppSettings != nullptr ? gAppSettings->mUserAgent.c_str() : "";
    if (request.StartGet(url, agent, user, password).Failed()) return std::make_unique<CImageImporter>();
    request.WaitUntilDone();
    const std::unique_ptr<std::string> body = request.NewBodyPtr();
    if (body == nullptr || request.StatusCode() < 200 || request.StatusCode() > 299)
        return std::make_unique<CImageImporter>();
    return FromData(*body);
}

void CImageImporter::DrawInFrame(QPainter& painter, const QRect& frame) const
{
    painter.save();
    const QRect well = frame.adjusted(-kWellMargin, -kWellMargin, kWellMargin, kWellMargin);
    painter.setClipRect(well);
    const QPalette palette;
    const QBrush fill = palette.window();
    qDrawShadePanel(&painter, well, palette, true, 2, &fill);
    if (mOK && !mPicture.isNull()) {
        const QRect destination = PictureDestination(mPicture.size(), frame.size()).translated(frame.topLeft());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(destination, mPicture);
    }
    painter.restore();
}

QRect PictureDestination(QSize picture, QSize frame)
{
    const int w = picture.width(), h = picture.height();
    const int fw = frame.width(), fh = frame.height();
    if (w < fw && h < fh) return QRect((fw - w) / 2, (fh - h) / 2, w, h);
    if (w <= 0 || h <= 0) return QRect(0, 0, 0, 0);
    if ((w >= fw || h <= fh) && ((w > fw && h < fh) || h < w)) {
        const int height = static_cast<int>(static_cast<float>(h) * static_cast<float>(fw) / static_cast<float>(w));
        return QRect(0, (fh - height) / 2, fw, height);
    }
    const int width = static_cast<int>(static_cast<float>(w) * static_cast<float>(fh) / static_cast<float>(h));
    return QRect((fw - width) / 2, 0, width, fh);
}
