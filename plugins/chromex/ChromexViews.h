// The application object and the two views of the "Color" plug-in.
#pragma once

#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"

#include <string>

namespace chromex {

enum ColorEntry
{
    kRgbToGray = 0,
    kPseudoColor = 1,
    kEntryCount = 2,
};

// Where the pseudo colour looks for ".pcu" files: the module's own folder unless a test sets another one ("" goes
// back to the module's folder).
void SetPaletteFolder(const std::string& folder);
std::string PaletteFolder();

}  // namespace chromex

class CColorPlgApp : public CPlgApplication
{
public:
    int CreatePlgView(int index, int reserved, CPlgView** out) override;
};

// "RGB to GRAY": indexed, 24- and 32-bit images become 8-bit grey; grey images are left alone (0, no undo point).
class CRgbToGrayView : public CPlgView
{
public:
    int Run() override;
};

// "Pseudo Color": grey images only (others: a message and 0); Cancel restores the grey image.
class CPseudoColorView : public CPlgView
{
public:
    int Run() override;
};
