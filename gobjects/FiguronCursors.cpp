#include "FiguronCursors.h"

#include "Edition.h"

#include <QCursor>
#include <QPixmap>

namespace {

// Every creation cursor is a 32 x 32 cross whose centre pixel (15, 15) is the point that gets clicked.
constexpr int kCrossCentre = 15;

QCursor PictureCursor(const char* resource)
{
    return QCursor(QPixmap(QString::fromLatin1(resource)), kCrossCentre, kCrossCentre);
}

}  // namespace

uint32_t CreationCursorId()
{
    if (g_OEMProduct == kEditionCursor4011)
        return IDC_FIGURON_CREATE_EDITION3;
    if (g_OEMProduct == kEditionHeightWidth)
        return IDC_FIGURON_CREATE_EDITION1;
    return IDC_FIGURON_CREATE;
}

QCursor LoadFiguronCursor(uint32_t id)
{
    switch (id) {
    case IDC_FIGURON_CREATE: return PictureCursor(":/figuron/cursor4010.png");
    case IDC_FIGURON_CREATE_EDITION3: return PictureCursor(":/figuron/cursor4011.png");
    case IDC_FIGURON_CREATE_EDITION1: return PictureCursor(":/figuron/cursor4012.png");
    case IDC_SIZENWSE: return QCursor(Qt::SizeFDiagCursor);
    case IDC_SIZENESW: return QCursor(Qt::SizeBDiagCursor);
    case IDC_SIZEWE: return QCursor(Qt::SizeHorCursor);
    case IDC_SIZENS: return QCursor(Qt::SizeVerCursor);
    case IDC_SIZEALL: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}
