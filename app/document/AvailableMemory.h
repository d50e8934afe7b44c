// How much memory the machine can still give, for refusing an image it could not hold before trying to make one
// (on Linux an allocation that is too large usually succeeds and the program is killed later, when the pages are
// touched). UI thread.
#pragma once

#include <functional>

// Bytes the machine can give without swapping: MemAvailable of /proc/meminfo, else the free pages; -1 when
// neither can be read.
long long AvailableMemoryBytes();
// Replaces the machine's answer above (tests); an empty function gives it back.
void SetAvailableMemoryProbe(std::function<long long()> probe);
