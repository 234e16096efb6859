#include "app/Platform.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
// The memory counters from kernel32 (Windows 7 and later) rather than psapi.dll.
#define PSAPI_VERSION 2
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace dusk {

#ifdef _WIN32

// A console handle, unlike a file, a pipe or NUL, has a console mode (isatty would also call
// NUL a terminal).
bool standardInputIsInteractive() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool displayAvailable() {
    return true;
}

std::tm localTime(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

long peakResidentKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

#else

bool standardInputIsInteractive() {
    return isatty(STDIN_FILENO) == 1;
}

bool displayAvailable() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

std::tm localTime(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

#endif

}  // namespace dusk
