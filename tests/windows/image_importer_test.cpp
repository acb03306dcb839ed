#include <cstdint>
#include <string_view>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "app/windows/widgets/image_importer.h"
#include "app/windows/widgets/quicktime_view.h"

namespace {

std::string EncodedImage(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

// The CRC of a PNG chunk (type and data).
std::uint32_t ChunkCRC(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

struct DestinationCase {
    QSize picture, frame;
    QRect expected;
};

TEST(ImageImporterTest, PicturesAreKeptOrScaledToFitTheFrame)
{
    const DestinationCase cases[] = {
        {{100, 50}, {200, 200}, QRect(50, 75, 100, 50)},    // smaller: centred at its size
        {{400, 200}, {200, 200}, QRect(0, 50, 200, 100)},   // wide: to the frame's width
        {{200, 400}, {200, 200}, QRect(50, 0, 100, 200)},   // tall: to the frame's height
        {{300, 150}, {400, 100}, QRect(100, 0, 200, 100)},  // narrower and taller than the frame
        {{500, 190}, {400, 100}, QRect(0, -26, 400, 152)},  // overflows the frame's height equally
        {{200, 200}, {200, 200}, QRect(0, 0, 200, 200)},    // exactly the frame
        {{0, 0}, {200, 200}, QRect(100, 100, 0, 0)},        // no picture
        {{0, 300}, {200, 200}, QRect(0, 0, 0, 0)},          // degenerate: nothing drawn
    };
    for (const DestinationCase& c : cases)
        EXPECT_EQ(PictureDestination(c.picture, c.frame), c.expected) << c.picture.width() << "x" << c.picture.height();
}

TEST(ImageImporterTest, DownloadedBytesDecodeOnlyWithinTheLimits)
{
    // A PNG header that claims 60000 x 60000 pixels (14 GB decoded): the
    // body is never decoded.
    std::string huge = EncodedImage(4, 4, "PNG");
    const unsigned char size[8] = {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60};
    huge.replace(16, 8, reinterpret_cast<const char*>(size), 8);
    const std::uint32_t crc = ChunkCRC(std::string_view(huge).substr(12, 17));
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    struct Case {
        const char* name;
        std::string bytes;
        bool ok, picture;
        QSize size;
    } cases[] = {
        {"png", EncodedImage(30, 20, "PNG"), true, true, {30, 20}},
        {"jpeg", EncodedImage(16, 8, "JPG"), true, true, {16, 8}},
        {"empty body", "", true, false, {0, 0}},
        {"not a picture", "<html>Not found</html>", false, false, {0, 0}},
        {"truncated", EncodedImage(30, 20, "PNG").substr(0, 40), false, false, {0, 0}},
        {"oversized header", huge, false, false, {0, 0}},
    };
    for (const Case& c : cases) {
        const auto importer = CImageImporter::FromData(c.bytes);
        EXPECT_EQ(importer->IsOK(), c.ok) << c.name;
        EXPECT_EQ(importer->HasPicture(), c.picture) << c.name;
        EXPECT_EQ(importer->NaturalSize(), c.size) << c.name;
    }
}

TEST(ImageImporterTest, AViewDrawsThePictureOrOnlyTheEmptyWell)
{
    CQuickTimeView view;
    view.resize(116, 116);  // a 100 x 100 frame inside the well's margin
    view.SetImage(CImageImporter::FromData(EncodedImage(50, 50, "PNG")));
    const QImage drawn = view.grab().toImage();
    EXPECT_EQ(QColor(drawn.pixel(58, 58)), QColor(Qt::red));   // centre: the picture
    EXPECT_NE(QColor(drawn.pixel(20, 20)), QColor(Qt::red));   // outside the 50 x 50 picture

    view.SetImage(CImageImporter::FromData("garbage"));
    const QImage empty = view.grab().toImage();
    EXPECT_NE(QColor(empty.pixel(58, 58)), QColor(Qt::red));
    view.SetImage(nullptr);
    EXPECT_EQ(view.grab().toImage(), empty);
}

}  // namespace
