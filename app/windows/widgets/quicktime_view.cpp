#include "app/windows/widgets/quicktime_view.h"

#include <QPainter>

CQuickTimeView::CQuickTimeView(QWidget* parent) : QWidget(parent) {}

CQuickTimeView::~CQuickTimeView() = default;

void CQuickTimeView::SetImage(std::unique_ptr<CImageImporter> image)
{
    mImage = std::move(image);
    update();
}

QRect CQuickTimeView::PictureFrame() const
{
    return rect().adjusted(CImageImporter::kWellMargin, CImageImporter::kWellMargin, -CImageImporter::kWellMargin,
                          -CImageImporter::kWellMargin);
}

void CQuickTimeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const CImageImporter empty;
    (mImage ? *mImage : empty).DrawInFrame(painter, PictureFrame());
}
