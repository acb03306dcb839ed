// GArrowField: a number field tied to a little-arrows control. The arrows
// set the field; a number typed into the field is pushed to the arrows,
// which clamp it to their range, and the field shows the clamped number.
#pragma once

#include <QLineEdit>

class QAbstractSlider;

class GArrowField : public QLineEdit {
public:
    // `arrows` may be null: then the field is a plain number field.
    explicit GArrowField(QAbstractSlider* arrows, QWidget* parent = nullptr);

    int Number() const { return text().toInt(); }
    // Shows `value` and pushes it to the arrows (clamped there).
    void SetNumber(int value);

private:
    // Gives the arrows the field's number without their broadcast, and
    // shows their clamped value when it differs.
    void PushToArrows();

    QAbstractSlider* mArrows;
};
