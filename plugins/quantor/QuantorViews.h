// The application object and the view of the "3D Surface Plot" plug-in.
#pragma once

#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"

class CSurfacePlotPlgApp : public CPlgApplication
{
public:
    // A surface-plot view for any index.
    int CreatePlgView(int index, int reserved, CPlgView** out) override;
};

// Opens the surface-plot dialog on the view's image and returns 1 when it closes; 0 for an empty image.
class CSurfacePlotView : public CPlgView
{
public:
    int Run() override;
};
