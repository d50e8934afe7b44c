#include "OverlayUse.h"

#include "FuzzCanvas.h"
#include "FuzzSupport.h"

#include "CQvGObject.h"
#include "CQvGObjectContainer.h"

void UseOverlayAsAUserWould(CQvGObjectContainer& container)
{
    FuzzCanvas surface(64, 48);
    {
        CDC dc(surface.surface);
        container.Draw(&dc, -1);
        container.SetRatio(1.0f);
        container.Draw(&dc, 2);
    }
    for (const CPoint p : {CPoint(0, 0), CPoint(20, 20), CPoint(-5, 40), CPoint(100000, 100000)})
        container.HitTest(CRect(p, p));
    for (CQvGObject* obj : container.GetMainObjList())
        obj->GetDefaultDataString();

    FuzzOutput written;
    FuzzCheck(container.Write(written.file()) == 1, "an overlay that was read can be written");
    const std::vector<uint8_t> bytes = written.Contents();
    CQvGObjectContainer again;
    FuzzInput in(bytes.data(), bytes.size());
    FuzzCheck(again.Read(in.file()) == 1, "what the overlay wrote reads back");
}
