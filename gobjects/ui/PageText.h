// The text of a Figuron string (FiguronStrings.h) for a widget of the property sheet and its pages.
#pragma once

#include "gobjects/FiguronStrings.h"

#include <QString>

inline QString FiguronUiText(uint32_t id)
{
    return QString::fromStdString(LoadFiguronString(id));
}
