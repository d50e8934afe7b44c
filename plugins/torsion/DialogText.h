// Reading numbers from the dialogs' edits: the whole leading number, in the C locale, 0 when there is none.
#pragma once

#include <QString>

#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace torsion {

inline double ParseNumber(const QString& text)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const QByteArray bytes = text.trimmed().toUtf8();
    const double value = strtod_l(bytes.constData(), nullptr, c);
    return std::isfinite(value) ? value : 0.0;
}

// A number truncated towards 0, kept inside the int range.
inline int Truncate(double value)
{
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483647.0)
        return -2147483647;
    return static_cast<int>(value);
}

// A side typed into an edit: the number truncated.
inline int ParseSide(const QString& text)
{
    return Truncate(ParseNumber(text));
}

}  // namespace torsion
