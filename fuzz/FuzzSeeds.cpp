#include "FuzzSeeds.h"

std::map<std::string, FuzzSeedMaker>& RegisteredFuzzSeeds()
{
    static std::map<std::string, FuzzSeedMaker> seeds;
    return seeds;
}

bool RegisterFuzzSeeds(const char* name, FuzzSeedMaker maker)
{
    RegisteredFuzzSeeds()[name] = maker;
    return true;
}
