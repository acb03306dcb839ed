// CQuickTimeView: a pane that draws the picture of its image importer,
// scaled to fit, on a well; the media grabber's slide show shows each
// grabbed image in one.
#pragma once

#include <memory>

#include <QWidget>

#include "app/windows/widgets/image_importer.h"

class CQuickTimeView : public QWidget {
public:
    explicit CQuickTimeView(QWidget* parent = nullptr);
    ~CQuickTimeView() override;

    // Takes the importer (null: nothing but the well) and redraws.
    void SetImage(std::unique_ptr<CImageImporter> image);
    const CImageImporter* Image() const { return mImage.get(); }
    // The frame the picture is fitted into: the pane less the well's margin.
    QRect PictureFrame() const;

    QSize sizeHint() const override { return QSize(200, 200); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<CImageImporter> mImage;
};
