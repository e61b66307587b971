#pragma once

#include <windows.h>

// The memory another process holds, as the benchmark and the soak test count it.

// Committed private memory (heaps, stacks, the program's own allocations),
// counted region by region: Wine leaves PrivateUsage at 0 for another process.
double PrivateKiB(HANDLE process);

// What GetProcessMemoryInfo reports as the pagefile usage; -1 when it fails.
double PagefileKiB(HANDLE process);
