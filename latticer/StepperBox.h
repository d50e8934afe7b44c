// A number field with a stepper for the grid dialog that tells a step (arrows, keys, wheel) apart from typing:
// the dialog applies stepped values at once and typed ones only when asked. Any whole number may be typed; the
// stepper keeps to its own range, starting from the typed number brought into it. Shows its value in ASCII digits
// whatever the user's locale, since the dialog reads the text with the C library. UI thread.
#pragma once

#include <QSpinBox>

class StepperBox : public QSpinBox
{
    Q_OBJECT
public:
    // Steps stay within [minimum, maximum].
    StepperBox(int minimum, int maximum, QWidget* parent);

    void stepBy(int steps) override;

signals:
    // After the value has moved by a step.
    void stepped();

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    int m_stepMinimum;
    int m_stepMaximum;
};
