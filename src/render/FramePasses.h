#pragma once

// Set when the explosion first plays; it plays once per run.
extern bool explosionStarted;
