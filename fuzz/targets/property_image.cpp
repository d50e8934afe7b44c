// The drawing-defaults image the program keeps in its profile.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "CQvGObjectPropertyTotal.h"

VISTREL_FUZZ_TARGET(property_image)
{
    CQvGObjectPropertyTotal set;
    if (set.LoadMemoryImage(data, size) != 1)
        return 0;
    const std::vector<uint8_t> saved = set.SaveMemoryImage();
    CQvGObjectPropertyTotal again;
    FuzzCheck(again.LoadMemoryImage(saved.data(), saved.size()) == 1, "a saved image loads");
    FuzzCheck(again.SaveMemoryImage() == saved, "load and save of a saved image is the identity");
    return 0;
}
