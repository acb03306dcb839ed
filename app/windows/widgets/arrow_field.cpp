#include "app/windows/widgets/arrow_field.h"

#include <QAbstractSlider>
#include <QIntValidator>
#include <QSignalBlocker>

GArrowField::GArrowField(QAbstractSlider* arrows, QWidget* parent) : QLineEdit(parent), mArrows(arrows)
{
    setValidator(new QIntValidator(this));
    if (mArrows != nullptr) {
        setText(QString::number(mArrows->value()));
        connect(mArrows, &QAbstractSlider::valueChanged, this, [this](int value) {
            setText(QString::number(value));
            selectAll();
        });
    }
    connect(this, &QLineEdit::editingFinished, this, [this] { PushToArrows(); });
}

void GArrowField::SetNumber(int value)
{
    setText(QString::number(value));
    PushToArrows();
}

void GArrowField::PushToArrows()
{
    if (mArrows == nullptr) return;
    const int number = Number();
    {
        const QSignalBlocker quiet(mArrows);
        mArrows->setValue(number);
    }
    if (mArrows->value() != number) setText(QString::number(mArrows->value()));
}
