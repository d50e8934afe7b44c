#include "ui/Beep.h"

#include <QApplication>

void Beep(DWORD /*frequencyHz*/, DWORD /*durationMs*/)
{
    QApplication::beep();
}
