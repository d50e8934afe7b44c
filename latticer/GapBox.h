// The spacing field of the grid dialog: free text (a number in calibrated units) with a stepper whose steps the
// dialog turns into one image pixel up or down. The field never changes its own text on a step. UI thread.
#pragma once

#include <QAbstractSpinBox>

class GapBox : public QAbstractSpinBox
{
    Q_OBJECT
public:
    explicit GapBox(QWidget* parent);

    void SetText(const QString& text);
    void stepBy(int steps) override;

signals:
    // A step up (positive) or down (negative); only the sign counts.
    void stepRequested(int steps);

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};
