// Seed inputs of a fuzz target, made by the system's own writers so that they follow the formats as they are
// written today. Defined with VISTREL_FUZZ_SEEDS(name) { return {...}; } under the target's name; built only
// where the writers' test helpers are (the normal build and the seed tool), never into a libFuzzer target.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

using FuzzSeedList = std::vector<std::vector<uint8_t>>;
using FuzzSeedMaker = FuzzSeedList (*)();

std::map<std::string, FuzzSeedMaker>& RegisteredFuzzSeeds();
bool RegisterFuzzSeeds(const char* name, FuzzSeedMaker maker);

#define VISTREL_FUZZ_SEEDS(name)                                                                                    \
    static FuzzSeedList name##_seeds();                                                                             \
    [[maybe_unused]] static const bool name##_seeds_registered = RegisterFuzzSeeds(#name, &name##_seeds);           \
    static FuzzSeedList name##_seeds()
