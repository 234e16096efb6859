#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace dusk::test {

// The lines of a program's output, without their line ends.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace dusk::test
