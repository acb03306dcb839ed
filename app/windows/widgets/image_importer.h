// CImageImporter: one picture for display, from a resource, from bytes or
// from a URL, drawn scaled to fit a frame on a sunken well.
//
// Bytes come from web servers, so decoding is bounded: a picture whose
// header claims more pixels than kMaxImagePixels, or whose decoding would
// allocate more than kAllocationLimitMB, is refused and only the empty well
// is drawn.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

class CImageImporter {
public:
    static constexpr int kAllocationLimitMB = 64;
    static constexpr long long kMaxImagePixels = 16LL * 1024 * 1024;
    // The well's margin around the frame.
    static constexpr int kWellMargin = 8;

    // No picture; ok.
    CImageImporter() = default;
    explicit CImageImporter(QImage picture) : mPicture(std::move(picture)) {}

    // Decodes downloaded bytes with the limits above; empty bytes leave it
    // ok without a picture, bytes that do not decode leave it not ok.
    static std::unique_ptr<CImageImporter> FromData(std::string_view bytes);
    // GETs the URL (60-second time-out, the settings' user agent, the
    // login) and decodes the body. The calling cooperative thread sleeps
    // meanwhile.
    static std::unique_ptr<CImageImporter> FromURL(const std::string& url, const std::string& user,
                                                   const std::string& password);

    bool IsOK() const { return mOK; }
    bool HasPicture() const { return !mPicture.isNull(); }
    QSize NaturalSize() const { return mPicture.isNull() ? QSize(0, 0) : mPicture.size(); }

    // The well in the frame grown by 8 pixels, then the picture scaled into
    // PictureDestination (clipped to the well).
    void DrawInFrame(QPainter& painter, const QRect& frame) const;

private:
    QImage mPicture;
    bool mOK = true;
};

// Where a picture of `picture` size goes in a frame of `frame` size, in the
// frame's coordinates: kept and centred when smaller both ways; otherwise
// scaled to the frame's width or height, keeping its proportions.
QRect PictureDestination(QSize picture, QSize frame);
