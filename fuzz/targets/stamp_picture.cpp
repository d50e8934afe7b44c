// A picture another program put on the clipboard, pasted as an image stamp: whatever the stamp takes it stores as a
// plain DIB that draws, is written and reads back byte for byte.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/GObjectFactory.h"
#include "gobjects/shapes/CQvGObjectImage.h"

#include "gdi/CDC.h"
#include "qvimage/QvImageDib.h"
#include "stream/LeStream.h"

#include <QImage>

#include <cstdio>
#include <cstring>

VISTREL_FUZZ_TARGET(stamp_picture)
{
    EnsureFuzzApplication();
    CQvGObjectImage stamp;
    if (stamp.SetImage(data, size) != 1)
        return 0;
    const std::vector<uint8_t>& stored = stamp.GetImageBytes();
    BITMAPINFOHEADER header;
    std::memcpy(&header, stored.data(), sizeof header);
    FuzzCheck(header.biSize == 40 && QVDibSize(stamp.GetImage()) == stored.size(),
              "a stored picture is a plain DIB exactly as large as its header says");
    FuzzCheck(header.biBitCount <= 8 || header.biClrUsed == 0, "only pictures up to 8 bits keep a palette");

    stamp.CalInitialPos();
    QImage surface(32, 24, QImage::Format_RGB32);
    surface.fill(Qt::white);
    CDC dc(surface);
    const CPoint origin(0, 0);
    const float ratio = 0.01f;
    stamp.DrawShape(&dc, &origin, &ratio, 0);

    FILE* file = std::tmpfile();
    if (!file)
        return 0;
    if (stamp.Write(file, 1.5f)) {
        std::rewind(file);
        LeReader in(file);
        const int32_t shape = in.Int32();
        FuzzCheck(in.ok() && shape == SHAPE_IMAGE, "the record starts with the stamp's code");
        CQvGObject* back = CreateGObject(SHAPE_IMAGE);
        FuzzCheck(back->Read(in, 1.5f) == 1, "a stored picture reads back");
        FuzzCheck(static_cast<CQvGObjectImage*>(back)->GetImageBytes() == stored, "and reads back unchanged");
        back->RemoveAll();
    }
    std::fclose(file);
    return 0;
}
