#include "gdi/StockObjects.h"

namespace gdi_detail {
namespace {

struct Stock
{
    CPen blackPen{PS_SOLID, 0, RGB(0, 0, 0)};
    CPen whitePen{PS_SOLID, 0, RGB(255, 255, 255)};
    CPen nullPen{PS_NULL, 0, RGB(0, 0, 0)};
    CBrush whiteBrush{RGB(255, 255, 255)};
    CBrush blackBrush{RGB(0, 0, 0)};
    CBrush nullBrush;
    CFont systemFont;

    Stock()
    {
        const LOGBRUSH hollow{BS_NULL, 0, 0};
        nullBrush.CreateBrushIndirect(&hollow);
        const LOGFONTA system{};  // default size, normal weight, default face
        systemFont.CreateFontIndirect(&system);
    }
};

}  // namespace

CGdiObject* StockObject(int index)
{
    static Stock stock;
    switch (index) {
    case WHITE_BRUSH: return &stock.whiteBrush;
    case BLACK_BRUSH: return &stock.blackBrush;
    case NULL_BRUSH: return &stock.nullBrush;
    case WHITE_PEN: return &stock.whitePen;
    case BLACK_PEN: return &stock.blackPen;
    case NULL_PEN: return &stock.nullPen;
    case SYSTEM_FONT: return &stock.systemFont;
    default: return nullptr;
    }
}

}  // namespace gdi_detail
