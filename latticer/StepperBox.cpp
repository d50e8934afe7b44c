#include "latticer/StepperBox.h"

#include <algorithm>
#include <climits>
#include <cstdint>

StepperBox::StepperBox(int minimum, int maximum, QWidget* parent)
    : QSpinBox(parent), m_stepMinimum(minimum), m_stepMaximum(maximum)
{
    setRange(INT_MIN, INT_MAX);
    setLocale(QLocale::c());
}

void StepperBox::stepBy(int steps)
{
    const int from = std::clamp(value(), m_stepMinimum, m_stepMaximum);
    const int64_t to = int64_t{from} + steps;
    setValue(static_cast<int>(std::clamp<int64_t>(to, m_stepMinimum, m_stepMaximum)));
    emit stepped();
}
