#pragma once

// Set when the explosion first plays; it plays once per run.
extern bool explosionStarted;

// The five passes by number and name, as the overlay lists their times and a frame debugger
// shows their groups.
constexpr int framePassCount = 5;
extern const char* const framePassNames[framePassCount];
