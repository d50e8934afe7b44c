// A filter kernel file (".flt") from outside. What is read must write back to the same bytes.
#include "FuzzTarget.h"

#include "sieva/FilterKernelFile.h"

#include <algorithm>
#include <cstdlib>

VISTREL_FUZZ_TARGET(kernel_file)
{
    CFilterKernel kernel;
    if (!kernel.Parse(data, size))
        return 0;
    const std::vector<unsigned char> written = kernel.Bytes();
    if (written.size() != size || !std::equal(written.begin(), written.end(), data))
        std::abort();
    return 0;
}
