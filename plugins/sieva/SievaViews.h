// The application object and the one view of the "Image Filters" plug-in.
#pragma once

#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"

#include <string>

namespace sieva {

// Where the kernel files are: the module's own folder unless a test sets another one ("" goes back to it).
void SetFilterFolder(const std::string& folder);
std::string FilterFolder();

}  // namespace sieva

// Makes the filter view for every index.
class CFilterPlgApp : public CPlgApplication
{
public:
    int CreatePlgView(int index, int reserved, CPlgView** out) override;
};

// Opens the filter sheet on the document's image; Cancel restores the image.
class CFilterView : public CPlgView
{
public:
    int Run() override;
};
