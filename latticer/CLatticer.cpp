#include "latticer/CLatticer.h"

#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <QIcon>

#include <cmath>
#include <cstring>

namespace {

constexpr COLORREF kGrey = 0x808080;
constexpr int kDefaultKinds = G_CROSS | G_RECTANGLES;

bool IsUsableUpp(double unitsPerPixel)
{
    return unitsPerPixel > 0.0 && std::isfinite(unitsPerPixel);
}

}  // namespace

CLatticer::CLatticer()
    : show(0),
      type(kDefaultKinds),
      gap(30.0f),
      upp(1.0),
      reserved(0),
      canvas{640, 480},
      decimal(0),
      pen{PS_SOLID, {1, 1}, kGrey},
      pen2{PS_SOLID, {1, 1}, kGrey},
      font{},
      ruler(0),
      reserved2(1),
      tickLength(12),
      color2(kGrey),
      saveWithGrid(0)
{
    font.lfHeight = -MulDiv(8, 96, 72);
    std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
}

void CLatticer::Create(int kinds, SIZE imageSize, double unitsPerPixel, float units)
{
    type = kinds;
    canvas = imageSize;
    upp = unitsPerPixel;
    gap = units;
}

void CLatticer::Update(int kinds, SIZE imageSize, double unitsPerPixel, float)
{
    type = kinds;
    canvas = imageSize;
    // A calibration without a scale (a magnification record's default is 0) would turn gap into 0 and then NaN,
    // which the program would copy into every document and its settings.
    if (!IsUsableUpp(unitsPerPixel))
        return;
    if (IsUsableUpp(upp))
        gap = static_cast<float>(unitsPerPixel * (gap / upp));
    upp = unitsPerPixel;
}

void CLatticer::Remove()
{
    CLatticer fresh;
    fresh.type = G_CHECK;
    fresh.show = show;
    fresh.reserved = reserved;
    fresh.decimal = decimal;
    fresh.saveWithGrid = saveWithGrid;
    *this = fresh;
}

void CLatticer::GetIcon(QIcon* icons)
{
    static const char* const kIconFiles[] = {
        ":/latticer/check.png", ":/latticer/cross.png", ":/latticer/rectangles.png",
        ":/latticer/diagonals.png", ":/latticer/circles.png", ":/latticer/circlecross.png",
    };
    for (int k = 0; k < GetTypeNum(); ++k)
        icons[k] = QIcon(QString::fromLatin1(kIconFiles[k]));
}
