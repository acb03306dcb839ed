// "FramedMona": the media grabber's picture before the first image comes, a
// small portrait in a gilt frame, drawn here so it needs no image file.
#pragma once

#include <QImage>

QImage MakeFramedMona();
