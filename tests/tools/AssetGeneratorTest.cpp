#include "Generator.h"
#include "support/BuildPaths.h"
#include "support/Files.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

// The generated files in the build's run directory, which the demo reads. (That the demo's own
// loaders take every one of them, the scene pictures show.)
namespace {

namespace fs = std::filesystem;
using dusk::assetgen::imageFiles;
using dusk::assetgen::modelFiles;

const std::string runDir = dusk::test::built::runDir();

TEST(AssetGeneratorTest, ASecondRunWritesTheSameFiles) {
    const std::string dir = dusk::test::freshFolder("assetgen-again");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // a time stamp would differ
    std::string error;
    ASSERT_TRUE(dusk::assetgen::generateAssets(dir, &error)) << error;
    size_t written = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            const std::string file = entry.path().string().substr(dir.size());
            EXPECT_TRUE(dusk::test::readFile(entry.path()) == dusk::test::readFile(runDir + file))
                << file << " differs";
            ++written;
        }
    }
    EXPECT_EQ(written, modelFiles().size() + imageFiles().size());
}

TEST(AssetGeneratorTest, EveryImageDecodesAtItsSizeWithWhatTheShadersRead) {
    std::map<std::string, std::string> rgba;  // as the texture loader reads them
    for (const auto& file : imageFiles()) {
        Magick::Image image(runDir + "/Model/Image/" + file.name);
        EXPECT_EQ(std::make_pair(image.columns(), image.rows()),
                  std::make_pair(size_t(file.width), size_t(file.height)))
            << file.name;
        Magick::Blob blob;
        image.write(&blob, "RGBA", 8);
        rgba[file.name].assign(static_cast<const char*>(blob.data()), blob.length());
    }
    // Image, where (as fractions from the top left), channel, the range it must lie in, why.
    const std::tuple<const char*, double, double, int, int, int, const char*> probes[] = {
        {"stone11n.jpg", 0.5, 0.5, 2, 5, 100, "the normal map carries the specular strength"},
        {"ground19n.jpg", 0.5, 0.5, 2, 5, 100, "the normal map carries the specular strength"},
        {"Light_Texture.png", 0.5, 0.5, 3, 255, 255, "the glow's core is the lens-flare source"},
        {"nebular.png", 0.5, 0.0, 3, 0, 0, "sprites fade out before their edge"},
        {"nebular.png", 0.5, 0.5, 3, 8, 80, "a faint puff that stacks into mist"},
        {"fire_atlas.png", 4.5 / 8, 2.5 / 8, 3, 200, 255, "later cells burn"},
        {"fire_atlas.png", 4.0 / 8, 2.5 / 8, 3, 0, 0, "cells stay inside their borders"},
        {"tree1.png", 0.1, 0.5, 3, 255, 255, "bark is opaque"},
        {"tree1.png", 0.47, 0.15, 3, 225, 235, "leaves carry the foliage mark 0.9"},
        {"tree1.png", 0.625, 0.49, 3, 225, 235, "fir branches carry the foliage mark 0.9"},
        {"tree1.png", 0.32, 0.02, 3, 0, 0, "around the leaves is cut out"}};
    for (auto [name, u, v, channel, low, high, why] : probes) {
        const auto* file =
            &*std::find_if(imageFiles().begin(), imageFiles().end(),
                           [&](const auto& f) { return f.name == std::string(name); });
        size_t x = size_t(u * (file->width - 1)), y = size_t(v * (file->height - 1));
        int value = static_cast<unsigned char>(rgba[name][(y * file->width + x) * 4 + channel]);
        EXPECT_TRUE(value >= low && value <= high) << name << ": " << why << " (" << value << ")";
    }
}

}  // namespace
