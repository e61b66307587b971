#include "process_memory.h"

#include <psapi.h>

double PrivateKiB(HANDLE process) {
    SIZE_T bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr;
         VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
    }
    return bytes / 1024.0;
}

double PagefileKiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
    return counters.PagefileUsage / 1024.0;
}
