// The pictures the progress drawing plots: the application icon and the
// pause badge, read once from the resources folder ("icons/tidewell.png",
// "icons/pause-badge.png"). A picture that cannot be read is a null image
// and is simply not drawn.
#pragma once

#include <QImage>

const QImage& ApplicationIconImage();
const QImage& PauseBadgeImage();

// Replaces the two pictures (null images: draw none); tests use it.
void SetProgressIcons(const QImage& applicationIcon, const QImage& pauseBadge);
// Reads the resources again.
void ResetProgressIcons();
