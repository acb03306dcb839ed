// The progress picture: the mail's JPEG decoded and read pixel by pixel,
// the window icon tile with and without the pause badge, and the hook that
// carries the tile to the windows.
#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

#include "app/progress/dock_tile.h"
#include "app/progress/progress_icons.h"
#include "app/progress/progress_image.h"
#include "app/progress/progress_picture.h"
#include "engine/mail/progress_mail.h"

namespace {

// White under the faint disc, and under the disc and the pie.
constexpr int kDisc = 191;
constexpr int kPie = 115;
constexpr int kWhite = 255;
constexpr int kTolerance = 10;

// Sample points well inside each quarter of the disc, away from its edge,
// the pie's edges and the number.
const QPoint kTopRight(92, 36);
const QPoint kBottomRight(92, 92);
const QPoint kBottomLeft(30, 108);
const QPoint kTopLeft(36, 36);
const QPoint kCorner(2, 2);

QImage DecodeJpeg(const std::string& jpeg)
{
    QImage image;
    EXPECT_TRUE(image.loadFromData(QByteArray(jpeg.data(), static_cast<qsizetype>(jpeg.size())), "JPEG"));
    return image;
}

class ProgressPicture : public testing::Test {
protected:
    void SetUp() override { SetProgressIcons(QImage(), QImage()); }
    void TearDown() override
    {
        ResetProgressIcons();
        SetDockTileHook(nullptr);
    }
};

TEST(ProgressPieDegrees, StaysWithinAFullTurn)
{
    const struct {
        std::int32_t index, count;
        int degrees;
    } cases[] = {{0, 4, 0},   {1, 4, 90},  {2, 4, 180}, {4, 4, 360}, {5, 4, 360},  {1, 3, 120},
                 {2, 3, 240}, {1, 7, 51},  {1, 0, 0},   {1, -3, 0},  {-2, 4, 0},   {2147483646, 2147483647, 359}};
    for (const auto& c : cases) EXPECT_EQ(ProgressPieDegrees(c.index, c.count), c.degrees) << c.index << "/" << c.count;
}

TEST_F(ProgressPicture, TheMailPictureFillsClockwiseFromTheTop)
{
    const struct {
        std::int32_t index, count;
        int topRight, bottomRight, bottomLeft, topLeft;
    } cases[] = {
        {0, 4, kDisc, kDisc, kDisc, kDisc},     // only the faint disc
        {1, 4, kPie, kDisc, kDisc, kDisc},      // a quarter
        {3, 4, kPie, kPie, kPie, kDisc},
        {4, 4, kPie, kPie, kPie, kPie},         // a full dark disc
        {9, 4, kPie, kPie, kPie, kPie},
        {3, 0, kDisc, kDisc, kDisc, kDisc},     // no count: no pie
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " of " + std::to_string(c.count));
        const QImage image = DecodeJpeg(MakeProgressImage(7, c.index, c.count));
        ASSERT_EQ(image.size(), QSize(kProgressImageSide, kProgressImageSide));
        const std::vector<std::pair<QPoint, int>> samples = {
            {kTopRight, c.topRight}, {kBottomRight, c.bottomRight}, {kBottomLeft, c.bottomLeft},
            {kTopLeft, c.topLeft},   {kCorner, kWhite}};
        for (const auto& [point, expected] : samples) {
            const QColor color = image.pixelColor(point);
            EXPECT_NEAR(color.red(), expected, kTolerance) << point.x() << "," << point.y();
            EXPECT_NEAR(color.green(), expected, kTolerance) << point.x() << "," << point.y();
            EXPECT_NEAR(color.blue(), expected, kTolerance) << point.x() << "," << point.y();
        }
        // The number stands in black at the lower left.
        int dark = 0;
        for (int y = 50; y < kProgressImageSide - 30; ++y)
            for (int x = 18; x < 60; ++x) dark += qGray(image.pixel(x, y)) < 60;
        EXPECT_GT(dark, 60);
    }
    EXPECT_TRUE(CreateBitmapContext(0, 10).isNull());
    EXPECT_EQ(CreateBitmapContext(3, 2).pixelColor(1, 1).alpha(), 0);
}

TEST_F(ProgressPicture, TheApplicationIconLiesUnderThePie)
{
    ResetProgressIcons();
    ASSERT_FALSE(ApplicationIconImage().isNull()) << "resources/icons/tidewell.png";
    ASSERT_FALSE(PauseBadgeImage().isNull()) << "resources/icons/pause-badge.png";
    const QImage image = DecodeJpeg(MakeProgressImage(1, 1, 2));
    // The icon's water shows through both the faint disc and the pie.
    for (const QPoint point : {QPoint(40, 64), QPoint(88, 64)}) {
        const QColor color = image.pixelColor(point);
        EXPECT_GT(color.blue(), color.red() + 30) << point.x() << "," << point.y();
    }
    EXPECT_LT(qGray(image.pixel(88, 64)), qGray(image.pixel(40, 64)));
}

TEST_F(ProgressPicture, TheTileIsTransparentAroundAndPausedTilesCarryTheBadge)
{
    ResetProgressIcons();
    const QImage running = MakeDockTileImage(3, 2, 4, false);
    const QImage paused = MakeDockTileImage(3, 2, 4, true);
    ASSERT_EQ(running.size(), QSize(kDockTileSide, kDockTileSide));
    EXPECT_EQ(running.pixelColor(kCorner).alpha(), 0);
    // The badge sits in the lower right corner: amber over the tile.
    const QPoint badge(95, 95);
    const QColor withBadge = paused.pixelColor(badge);
    const QColor without = running.pixelColor(badge);
    EXPECT_GT(withBadge.red(), withBadge.blue() + 80);
    EXPECT_LT(without.red() - without.blue(), 40);
    EXPECT_EQ(running.pixelColor(kTopLeft), paused.pixelColor(kTopLeft));
}

TEST_F(ProgressPicture, TileChangesReachTheHookAndTheWindowIcon)
{
    ResetProgressIcons();
    std::vector<CDockTile> tiles;
    SetDockTileHook([&](const CDockTile& tile) { tiles.push_back(tile); });
    DrawDockTileProgress(2, 1, 4);
    DrawDockTilePaused(2, 3, 4);
    DrawDockTileProgress(1, 5, 0);
    RestoreDockTile();
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_DOUBLE_EQ(tiles[0].progress, 0.25);
    EXPECT_FALSE(tiles[0].paused);
    EXPECT_DOUBLE_EQ(tiles[1].progress, 0.75);
    EXPECT_TRUE(tiles[1].paused);
    EXPECT_DOUBLE_EQ(tiles[2].progress, 0.0);
    EXPECT_LT(tiles[3].progress, 0);
    for (const CDockTile& tile : tiles) EXPECT_FALSE(tile.icon.isNull());
    const QImage restored = tiles[3].icon.pixmap(QSize(256, 256)).toImage();
    EXPECT_EQ(restored.convertToFormat(QImage::Format_ARGB32),
              ApplicationIconImage().convertToFormat(QImage::Format_ARGB32));

    // Without a hook of its own the tile becomes the window icon.
    SetDockTileHook(nullptr);
    DrawDockTilePaused(4, 1, 2);
    const QImage icon = QGuiApplication::windowIcon().pixmap(QSize(kDockTileSide, kDockTileSide)).toImage();
    EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32),
              MakeDockTileImage(4, 1, 2, true).convertToFormat(QImage::Format_ARGB32));
}

TEST_F(ProgressPicture, TheMailTakesThePictureThroughTheEngineFunction)
{
    const ProgressImageMaker maker = &MakeProgressImage;
    const CMailBody mail = MakeProgressMail("bob@example.org", 2, 1, 4, "http://example.org/", "5 secs", maker);
    ASSERT_EQ(mail.mParts.Count(), 1);
    EXPECT_EQ(mail.mParts.Head()->element.mContentType.str(), "image/jpeg");
    EXPECT_GT(mail.mParts.Head()->element.mData.Length(), 1000);
}

}  // namespace
