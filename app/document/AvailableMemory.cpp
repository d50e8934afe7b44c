#include "document/AvailableMemory.h"

#include <cstdio>
#include <unistd.h>

namespace {

std::function<long long()>& Probe()
{
    static std::function<long long()> probe;
    return probe;
}

long long MemAvailableOfMeminfo()
{
    FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file)
        return -1;
    long long kilobytes = -1;
    char line[256];
    while (std::fgets(line, sizeof line, file))
        if (std::sscanf(line, "MemAvailable: %lld kB", &kilobytes) == 1)
            break;
    std::fclose(file);
    return kilobytes < 0 ? -1 : kilobytes * 1024;
}

}  // namespace

long long AvailableMemoryBytes()
{
    if (Probe())
        return Probe()();
    if (const long long available = MemAvailableOfMeminfo(); available >= 0)
        return available;
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<long long>(pages) * pageSize : -1;
}

void SetAvailableMemoryProbe(std::function<long long()> probe)
{
    Probe() = std::move(probe);
}
