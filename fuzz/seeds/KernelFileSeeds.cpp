// Seeds of the kernel file reader: kernels as the filter page saves them, from 1 x 1 to 11 x 11.
#include "FuzzSeeds.h"

#include "sieva/FilterKernelFile.h"

VISTREL_FUZZ_SEEDS(kernel_file)
{
    FuzzSeedList seeds;
    for (const auto& [columns, rows] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{5, 5}, std::pair{11, 11}}) {
        std::vector<float> values(static_cast<size_t>(columns) * rows);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<float>(i % 5) - 2.0f + 1.0f / 9.0f;
        CFilterKernel kernel;
        kernel.Set(columns, rows, values.data());
        const std::vector<unsigned char> bytes = kernel.Bytes();
        seeds.emplace_back(bytes.begin(), bytes.end());
    }
    return seeds;
}
