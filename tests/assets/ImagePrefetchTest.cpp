#include "assets/ImagePrefetch.h"
#include "assets/Texture.h"
#include "support/Files.h"

#include <filesystem>

namespace {

// A file of one colour, big enough that its decoding takes a moment.
std::string writeImage(const std::string& folder, const std::string& name,
                       const std::string& color) {
    const std::string path = folder + "/" + name;
    Magick::Image(Magick::Geometry(300, 200), Magick::Color(color)).write(path);
    return path;
}

// The first pixel's RGBA bytes.
std::vector<int> firstPixel(const dusk::DecodedImage& decoded) {
    const auto* bytes = static_cast<const unsigned char*>(decoded.pixels.data());
    if (decoded.pixels.length() < 4) {
        return {};
    }
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

// Every listed file comes back as its own pixels, asked for in any order and more than once; a
// file that cannot be read comes back as its error; a file not on the list is not served.
TEST(ImagePrefetchTest, EachListedFileComesBackAsItsOwnPixelsOrItsError) {
    dusk::initializeImageLibrary();
    const std::string folder = dusk::test::freshFolder("prefetch");
    const std::string red = writeImage(folder, "red.png", "red");
    const std::string blue = writeImage(folder, "blue.jpg", "blue");
    const std::string green = writeImage(folder, "green.png", "lime");
    const std::string broken = folder + "/broken.png";
    dusk::test::writeFile(broken, "not an image");

    dusk::ImagePrefetch prefetch({red, blue, broken, green});
    EXPECT_EQ(dusk::ImagePrefetch::active, &prefetch);
    struct Case {
        std::string path;
        std::vector<int> pixel;  // empty: an error
    };
    for (const Case& c :
         {Case{green, {0, 255, 0, 255}}, Case{red, {255, 0, 0, 255}}, Case{broken, {}},
          Case{blue, {0, 0, 254, 255}}, Case{red, {255, 0, 0, 255}}}) {
        SCOPED_TRACE(c.path);
        dusk::DecodedImage decoded;
        ASSERT_TRUE(prefetch.take(c.path, &decoded));
        if (c.pixel.empty()) {
            EXPECT_FALSE(decoded.error.empty());
            continue;
        }
        EXPECT_EQ(decoded.error, "");
        EXPECT_EQ(decoded.image.columns(), 300u);
        EXPECT_EQ(decoded.pixels.length(), 300u * 200u * 4u);
        std::vector<int> pixel = firstPixel(decoded);
        ASSERT_EQ(pixel.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(pixel[i], c.pixel[i], 2) << "channel " << i;  // JPEG rounds a little
        }
    }
    dusk::DecodedImage unlisted;
    EXPECT_FALSE(prefetch.take(folder + "/other.png", &unlisted));
}

// The files are read ahead, not when asked for: once the last is served, the others can be
// gone from the disk and still come back.
TEST(ImagePrefetchTest, FilesAreReadAheadOfBeingAskedFor) {
    dusk::initializeImageLibrary();
    const std::string folder = dusk::test::freshFolder("prefetch");
    const std::string first = writeImage(folder, "first.png", "red");
    const std::string last = writeImage(folder, "last.png", "blue");
    dusk::DecodedImage decoded;
    {
        dusk::ImagePrefetch prefetch({first, last});
        ASSERT_TRUE(prefetch.take(last, &decoded));
        std::filesystem::remove(first);
        ASSERT_TRUE(prefetch.take(first, &decoded));
        EXPECT_EQ(decoded.error, "");
        EXPECT_EQ(firstPixel(decoded), (std::vector<int>{255, 0, 0, 255}));
    }
    EXPECT_EQ(dusk::ImagePrefetch::active, nullptr);
}

}  // namespace
