#pragma once

#include <string>

namespace dusk {

// The console wait after a start-up failure: waits for Enter when a person sits at a terminal,
// goes on at once otherwise, so that scripts and CI never hang.
void pauseConsole();

// The single-character wait after an incomplete scene target, under the same rule.
void waitForCharacter();

// A start-up file that is not there: one line naming it and the working folder it was looked
// for in, since a program started from another folder finds none of its files.
void reportIfMissing(const std::string& path);

// Prints the message line, shuts the window library down when asked to, waits, exits with 1.
[[noreturn]] void failStartup(const char* message, bool terminateWindowLibrary);

}  // namespace dusk
