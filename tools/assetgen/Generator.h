#pragma once

#include <string>
#include <vector>

namespace dusk::assetgen {

struct ImageFile {
    const char* name;  // under Model/Image
    int width, height;
};
// Every image the generator writes, with its size.
const std::vector<ImageFile>& imageFiles();
// Every model the generator writes, under Model/Object.
const std::vector<std::string>& modelFiles();

// Writes every model to <runDir>/Model/Object and every image to <runDir>/Model/Image,
// creating the folders. The same bytes on every run. False, with the reason in `error`, when a
// file cannot be written.
bool generateAssets(const std::string& runDir, std::string* error);

}  // namespace dusk::assetgen
