// One reader of outside bytes, exercised as a fuzz target. A target file defines its entry with
// VISTREL_FUZZ_TARGET(name) { ...uses data, size... return 0; }
// Built with VISTREL_LIBFUZZER the entry becomes libFuzzer's LLVMFuzzerTestOneInput (one executable per target);
// otherwise it is registered under its name, so that the regression test can replay inputs through the very same
// code in the normal build. The name is also the folder of the target's seeds, regressions and dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

struct FuzzTargetInfo
{
    std::string name;
    FuzzEntry entry;
};

// Every target linked into this executable, in registration order (empty in a libFuzzer build).
std::vector<FuzzTargetInfo>& RegisteredFuzzTargets();
bool RegisterFuzzTarget(const char* name, FuzzEntry entry);

#if defined(VISTREL_LIBFUZZER)
#define VISTREL_FUZZ_TARGET(name)                                                                                   \
    static int name(const uint8_t* data, size_t size);                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return name(data, size); }            \
    static int name(const uint8_t* data, size_t size)
#else
#define VISTREL_FUZZ_TARGET(name)                                                                                   \
    static int name(const uint8_t* data, size_t size);                                                              \
    [[maybe_unused]] static const bool name##_registered = RegisterFuzzTarget(#name, &name);                        \
    static int name(const uint8_t* data, size_t size)
#endif
