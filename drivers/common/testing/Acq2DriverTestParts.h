// Pieces the second-generation drivers' own tests share: a host lock that counts its use and properties that go
// back to the driver that made them.
#pragma once

#include "capturehost/AcqDriver2Exports.h"
#include "capturehost/AcqProperty.h"

#include <memory>

namespace acq2_test {

class RecordingLock : public CCriticalSection
{
public:
    void Lock() override
    {
        CCriticalSection::Lock();
        ++locks;
    }
    void Unlock() override
    {
        ++unlocks;
        CCriticalSection::Unlock();
    }
    int locks = 0, unlocks = 0;
};

struct PropertyDeleter
{
    AcqDriver2Exports* exports;
    void operator()(CAcqPropertyBase* p) const { exports->ACQ_DeletePropertyBaseObject(p); }
};
using Property = std::unique_ptr<CAcqPropertyBase, PropertyDeleter>;

}  // namespace acq2_test
