// What the host tests of both driver generations share: simulated vendor libraries loaded by their paths before
// their drivers ask for them by name (so both share one copy), and a bounded wait that keeps the UI thread's queue
// running.
#pragma once

#include "module/CModule.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>

namespace host_test {

// Frames of the largest simulated sensors take a while under a sanitiser on a busy machine.
constexpr std::chrono::seconds kBound{30};

inline const CModule& Vendor(const std::string& path)
{
    static std::map<std::string, CModule> modules;
    CModule& module = modules[path];
    if (!module.IsLoaded() && !module.Load(path))
        ADD_FAILURE() << module.GetLastError();
    return module;
}

template <typename Function>
Function VendorCall(const std::string& path, const char* name)
{
    auto function = Vendor(path).GetProc<Function>(name);
    if (!function)
        ADD_FAILURE() << "missing " << name;
    return function;
}

// True once `done` holds; false after kBound.
template <typename Condition>
bool WaitFor(Condition done)
{
    const auto end = std::chrono::steady_clock::now() + kBound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace host_test
