// The progress picture of a running crawl: the application icon, a faint
// disc, a darker pie that fills clockwise from the top as the URLs of the
// level are done, and a large number (the level). The mail's JPEG and the
// window icon tile share it; the paused tile adds the pause badge.
//
// GUI thread only (it draws text).
#pragma once

#include <cstdint>

#include <QImage>

class QPainter;

inline constexpr int kProgressImageSide = 128;
inline constexpr int kDockTileSide = 127;

// index / count x 360, truncated to whole degrees and kept within 0 to 360;
// 0 when count is 0 or less (no pie is drawn then).
int ProgressPieDegrees(std::int32_t index, std::int32_t count);

// Draws on a square of `side` pixels whose ground the caller prepared.
void DrawProgressPicture(QPainter& painter, int side, std::int32_t number, std::int32_t index, std::int32_t count,
                         bool paused);

// A cleared (transparent) 32-bit premultiplied picture; a null image when
// the size is not positive or memory cannot be had.
QImage CreateBitmapContext(int width, int height);
