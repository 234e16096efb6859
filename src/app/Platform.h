#pragma once

#include <ctime>

namespace dusk {

// What the program asks of the operating system beyond the standard library, in one place.

// True when a person can type into standard input: a terminal, or the console window of a
// program started by double-click on Windows. False for a file, a pipe or a null device.
bool standardInputIsInteractive();

// Whether a window can be opened: on Windows always, elsewhere when DISPLAY names an X server.
bool displayAvailable();

// The local calendar time of a moment, safe to call from any thread.
std::tm localTime(std::time_t moment);

// The largest resident memory of the process so far, in KiB.
long peakResidentKiB();

}  // namespace dusk
