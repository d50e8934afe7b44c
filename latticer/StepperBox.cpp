#include "StepperBox.h"

StepperBox::StepperBox(int minimum, int maximum, QWidget* parent) : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setLocale(QLocale::c());
}

void StepperBox::stepBy(int steps)
{
    QSpinBox::stepBy(steps);
    emit stepped();
}
