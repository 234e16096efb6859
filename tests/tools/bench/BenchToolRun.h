#pragma once

// Runs the real dusk_bench program and reads back what it wrote: its output, PNG pictures and
// CSV files.

#include "assets/Texture.h"

#include <Magick++.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace dusk::test::bench {

inline std::string toolBinary() {
#ifdef DUSK_BENCH_BINARY
    return DUSK_BENCH_BINARY;
#else
    // The tool is built beside the demo, in the tools/bench folder of the same build.
    return (std::filesystem::path(DUSK_BINARY).parent_path() / "tools/bench/dusk_bench").string();
#endif
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs dusk_bench with the arguments; its output goes to files in `scratchDir`.
inline ToolResult runTool(const std::vector<std::string>& arguments,
                          const std::string& scratchDir) {
    std::filesystem::create_directories(scratchDir);
    const std::string outPath = scratchDir + "/stdout.txt";
    const std::string errPath = scratchDir + "/stderr.txt";
    std::string command = quoted(toolBinary());
    for (const std::string& argument : arguments) {
        command += " " + quoted(argument);
    }
    command += " >" + quoted(outPath) + " 2>" + quoted(errPath) + " </dev/null";
    int status = std::system(command.c_str());
    ToolResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    result.out = readWholeFile(outPath);
    result.err = readWholeFile(errPath);
    return result;
}

inline int countOf(const std::string& text, const std::string& line) {
    int count = 0;
    std::istringstream lines(text);
    std::string each;
    while (std::getline(lines, each)) {
        count += each == line ? 1 : 0;
    }
    return count;
}

// A picture as 8-bit RGB, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* at(int x, int y) const {
        return &rgb[3 * (static_cast<size_t>(y) * width + x)];
    }
};

// False if the file is missing or not a picture.
inline bool readPicture(const std::string& path, Picture* picture) {
    dusk::initializeImageLibrary();
    if (!std::filesystem::exists(path)) {
        return false;
    }
    try {
        Magick::Image image(path);
        picture->width = static_cast<int>(image.columns());
        picture->height = static_cast<int>(image.rows());
        picture->rgb.resize(3 * static_cast<size_t>(picture->width) * picture->height);
        image.write(0, 0, image.columns(), image.rows(), "RGB", Magick::CharPixel,
                    picture->rgb.data());
    } catch (const Magick::Exception&) {
        return false;
    }
    return true;
}

inline void writePicture(const Picture& picture, const std::string& path) {
    dusk::initializeImageLibrary();
    Magick::Image image(static_cast<size_t>(picture.width), static_cast<size_t>(picture.height),
                        "RGB", Magick::CharPixel, picture.rgb.data());
    image.write(path);
}

// A CSV file with a header line: one map from column name to text per row.
inline std::vector<std::map<std::string, std::string>> readCsv(const std::string& path) {
    std::vector<std::map<std::string, std::string>> rows;
    std::istringstream lines(readWholeFile(path));
    std::string line;
    std::vector<std::string> names;
    auto split = [](const std::string& text) {
        std::vector<std::string> fields;
        std::stringstream stream(text);
        std::string field;
        while (std::getline(stream, field, ',')) {
            fields.push_back(field);
        }
        return fields;
    };
    if (std::getline(lines, line)) {
        names = split(line);
    }
    while (std::getline(lines, line)) {
        std::vector<std::string> fields = split(line);
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < names.size() && i < fields.size(); ++i) {
            row[names[i]] = fields[i];
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace dusk::test::bench
