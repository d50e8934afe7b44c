#include "gobjects/private/ShiftKey.h"

#include <QGuiApplication>

bool ShiftHeld()
{
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}
