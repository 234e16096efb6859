#include "app/Config.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace dusk {

int parseLeadingInt(const char* text) {
    errno = 0;
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

WindowSize readWindowSize(std::istream& config) {
    // A Windows editor may begin the file with a UTF-8 byte-order mark: no part of the width.
    for (int byte : {0xEF, 0xBB, 0xBF}) {
        if (config.peek() != byte) {
            break;
        }
        config.get();
    }
    std::string widthToken;
    std::string heightToken;
    config >> widthToken;
    config >> heightToken;
    return WindowSize{parseLeadingInt(widthToken.c_str()), parseLeadingInt(heightToken.c_str())};
}

}  // namespace dusk
