#include "ShiftKey.h"

#include <QGuiApplication>

bool ShiftHeld()
{
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}
