// CNoClickAttachment: makes a widget deaf to mouse clicks (the inert filler
// at the end of a heading). One shared instance serves every widget.
#pragma once

#include <QObject>

class CNoClickAttachment : public QObject {
public:
    static CNoClickAttachment& Shared();
    void AttachTo(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CNoClickAttachment() = default;
};
