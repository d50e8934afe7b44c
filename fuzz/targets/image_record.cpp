// The image record of document files and undo files.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "QvImageRecord.h"

VISTREL_FUZZ_TARGET(image_record)
{
    CQvImage image;
    FuzzInput in(data, size);
    if (QVReadImage(in.file(), &image) != 1)
        return 0;
    FuzzOutput written;
    FuzzCheck(QVWriteImage(written.file(), &image) == 1, "an image that was read can be written");
    const std::vector<uint8_t> bytes = written.Contents();
    CQvImage again;
    FuzzInput back(bytes.data(), bytes.size());
    FuzzCheck(QVReadImage(back.file(), &again) == 1, "what the image wrote reads back");
    return 0;
}
