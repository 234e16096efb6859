#pragma once

#include <istream>

namespace dusk {

struct WindowSize {
    int width = 0;
    int height = 0;
};

// Two whitespace-separated tokens, each read like atoi: "640px" is 640, "+480" is 480, a token
// without leading digits or a missing token is 0. Anything after the second token is ignored,
// and so is a UTF-8 byte-order mark at the start; CR LF line ends are white space like LF.
WindowSize readWindowSize(std::istream& config);

// atoi's reading of a token, but values beyond the int range saturate instead of being undefined.
int parseLeadingInt(const char* text);

}  // namespace dusk
