#include "app/windows/widgets/xor_drawing.h"

#include <QRubberBand>
#include <QWidget>

XORDrawing::XORDrawing(QWidget* host) : mHost(host) {}

XORDrawing::~XORDrawing() { delete mBand.data(); }

void XORDrawing::Draw()
{
    mRegion = BuildRegion();
    if (mHost == nullptr) return;
    if (mBand == nullptr) mBand = new QRubberBand(QRubberBand::Line, mHost);
    mBand->setGeometry(mRegion);
    mBand->show();
    mBand->raise();
}

void XORDrawing::Update()
{
    const QRect region = BuildRegion();
    if (region == mRegion && IsShown()) return;
    mRegion = region;
    if (mBand != nullptr) mBand->setGeometry(mRegion);
}

void XORDrawing::Erase()
{
    if (mBand != nullptr) mBand->hide();
    mRegion = QRect();
}

void XORDrawing::Clear()
{
    mRegion = QRect();
    if (mBand != nullptr) mBand->hide();
}

bool XORDrawing::IsShown() const { return mBand != nullptr && mBand->isVisible(); }
