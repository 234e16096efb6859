#include "assets/Texture.h"
#include "assets/ImagePrefetch.h"
#include "support/Files.h"
#include "support/GLContext.h"

#include <filesystem>

namespace {

class TextureGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        folder = dusk::test::freshFolder("texture");
        dusk::initializeImageLibrary();
    }

    std::string folder;
};

// Odd widths (rows of RGB files are not four-byte aligned), 16-bit files and sizes that are not
// powers of two: each uploads top row first, with every mipmap level, and leaves nothing bound.
TEST_F(TextureGLTest, ImagesUploadTopRowFirstWithAllTheirMipmaps) {
    struct Case {
        std::string coder, file;
        int width, height, lastLevel;
    };
    for (const Case& c : {Case{"PNG32:", "odd.png", 3, 3, 1}, Case{"PNG64:", "deep.png", 3, 3, 1},
                          Case{"PNG32:", "wide.png", 37, 10, 5}}) {
        SCOPED_TRACE(c.file);
        std::vector<unsigned char> rgba;  // every pixel different, most of them translucent
        for (int i = 0; i < c.width * c.height; ++i) {
            rgba.insert(rgba.end(), {(unsigned char)(i * 37), (unsigned char)(i * 11),
                                     (unsigned char)(255 - i), (unsigned char)(120 + i)});
        }
        Magick::Image(c.width, c.height, "RGBA", Magick::CharPixel, rgba.data())
            .write(c.coder + folder + "/" + c.file);
        Texture texture(folder + "/" + c.file);
        ASSERT_TRUE(texture.load());
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);

        glBindTexture(GL_TEXTURE_2D, texture.name);
        std::vector<unsigned char> uploaded(rgba.size());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
        EXPECT_EQ(uploaded, rgba);
        GLint last = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, c.lastLevel, GL_TEXTURE_WIDTH, &last);
        EXPECT_EQ(last, 1) << "level " << c.lastLevel;
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

// A missing, broken or oversized image is one line naming the file, and no texture.
TEST_F(TextureGLTest, BadImageFilesAreReportedInOneLine) {
    // Claims 1.2 GB of pixels: refused by the size, before any pixel memory is taken.
    dusk::test::writeFile(folder + "/huge.ppm", "P6\n20000 20000\n255\n" + std::string(64, 'x'));
    Magick::Image(Magick::Geometry(64, 64), Magick::Color("orange")).write(folder + "/cut.png");
    dusk::test::writeFile(folder + "/cut.png",
                          dusk::test::readFile(folder + "/cut.png").substr(0, 80));
    for (const char* name : {"missing.png", "cut.png", "huge.ppm"}) {
        const std::string path = folder + "/" + name;
        Texture texture(path);
        bool loaded = true;
        const std::string output = dusk::test::printedBy([&] { loaded = texture.load(); });
        EXPECT_FALSE(loaded) << name;
        EXPECT_TRUE(output.rfind("Error loading texture '" + path + "': ", 0) == 0 &&
                    output.find('\n') == output.size() - 1)
            << output;
        EXPECT_EQ(texture.name, 0u);
    }
}

// While a prefetch runs, a listed file's texture is made from the pixels it read ahead, even
// when the file is gone by the time the texture loads; once the prefetch is dropped, the file
// is read again.
TEST_F(TextureGLTest, AListedImageIsUploadedFromThePrefetch) {
    const std::string path = folder + "/ahead.png";
    Magick::Image(Magick::Geometry(8, 4), Magick::Color("red")).write(path);
    {
        dusk::ImagePrefetch prefetch({path});
        dusk::DecodedImage ready;
        ASSERT_TRUE(prefetch.take(path, &ready));
        std::filesystem::remove(path);
        Texture texture(path);
        ASSERT_TRUE(texture.load());
        glBindTexture(GL_TEXTURE_2D, texture.name);
        std::vector<unsigned char> uploaded(8 * 4 * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(std::vector<unsigned char>(uploaded.begin(), uploaded.begin() + 4),
                  (std::vector<unsigned char>{255, 0, 0, 255}));
    }
    Texture again(path);
    const std::string output = dusk::test::printedBy([&] { EXPECT_FALSE(again.load()); });
    EXPECT_EQ(output.rfind("Error loading texture '" + path + "': ", 0), 0u) << output;
}

}  // namespace
