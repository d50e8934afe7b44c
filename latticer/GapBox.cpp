#include "latticer/GapBox.h"

#include <QLineEdit>

GapBox::GapBox(QWidget* parent) : QAbstractSpinBox(parent)
{
}

void GapBox::SetText(const QString& text)
{
    lineEdit()->setText(text);
}

void GapBox::stepBy(int steps)
{
    emit stepRequested(steps);
}
