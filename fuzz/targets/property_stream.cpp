// The drawing-defaults record of the overlay stream, at each version a stream can declare. The first byte picks
// the version.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "CQvGObjectPropertyTotal.h"

VISTREL_FUZZ_TARGET(property_stream)
{
    if (size == 0)
        return 0;
    static constexpr float kVersions[] = {1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f};
    const float version = kVersions[data[0] % (sizeof(kVersions) / sizeof(kVersions[0]))];
    CQvGObjectPropertyTotal set;
    FuzzInput in(data + 1, size - 1);
    if (set.Read(in.file(), version) != 1)
        return 0;
    FuzzOutput written;
    FuzzCheck(set.Write(written.file(), version) == 1, "a set that was read can be written");
    const std::vector<uint8_t> bytes = written.Contents();
    CQvGObjectPropertyTotal again;
    FuzzInput back(bytes.data(), bytes.size());
    FuzzCheck(again.Read(back.file(), version) == 1, "what the set wrote reads back");
    return 0;
}
