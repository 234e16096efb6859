#include "assets/Texture.h"
#include "support/GLContext.h"

#include <Magick++.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// A 3 x 3 image, top row first, every texel different and most of them translucent.
const std::vector<unsigned char> threeByThree = {
    255, 0,   0,   255, 0,  255, 0,  255, 0,   0,   255, 255,  // top row
    10,  20,  30,  40,  50, 60,  70, 80,  90,  100, 110, 120,  // middle row
    200, 150, 100, 255, 1,  2,   3,  4,   250, 251, 252, 253,  // bottom row
};

std::vector<unsigned char> opaque(std::vector<unsigned char> rgba) {
    for (size_t i = 3; i < rgba.size(); i += 4) {
        rgba[i] = 255;
    }
    return rgba;
}

std::vector<unsigned char> readLevel(GLuint name, int level, int width, int height) {
    std::vector<unsigned char> texels(static_cast<size_t>(width * height * 4), 0x5A);
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GLint boundTexture() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

std::string bigEndian32(unsigned long v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
}

// The CRC-32 that closes every PNG chunk.
unsigned long pngCrc(const std::string& bytes) {
    unsigned long crc = 0xFFFFFFFFul;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320ul : crc >> 1;
        }
    }
    return crc ^ 0xFFFFFFFFul;
}

std::string pngChunk(const std::string& type, const std::string& data) {
    return bigEndian32(data.size()) + type + data + bigEndian32(pngCrc(type + data));
}

// A well-formed PNG header claiming the given size; the pixel data that follows is a stub, as
// the size alone must make the image library refuse the file.
std::string pngHeaderClaiming(unsigned long width, unsigned long height) {
    std::string header =
        bigEndian32(width) + bigEndian32(height) + std::string("\x08\x06\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", std::string("\x78\x01\x01\x00\x00\xff\xff", 7)) + pngChunk("IEND", "");
}

class TextureGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        dir = fs::path(DUSK_TEST_OUTPUT_DIR) / "assets" /
              testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    void TearDown() override {
        if (window != nullptr) {  // no context: the set-up failed already
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        GLTest::TearDown();
    }

    std::string file(const std::string& name) const { return (dir / name).string(); }

    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }

    std::string readFile(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    // Writes RGBA pixels through the image library; `format` may force a coder ("PNG64:").
    std::string writeImage(const std::string& name, int width, int height,
                           const std::vector<unsigned char>& rgba, const std::string& format = "",
                           bool grey = false) const {
        Magick::Image image(width, height, "RGBA", Magick::CharPixel, rgba.data());
        image.depth(8);
        if (grey) {
            image.type(Magick::GrayscaleType);
        }
        image.write(format + file(name));
        return file(name);
    }

    fs::path dir;
};

TEST_F(TextureGLTest, ThreeByThreeImagesUploadTopRowFirstInEveryStoredForm) {
    std::vector<unsigned char> grey;
    for (int i = 0; i < 9; ++i) {
        unsigned char g = static_cast<unsigned char>(i * 30);
        grey.insert(grey.end(), {g, g, g, 255});
    }
    const struct {
        std::string name;
        std::string format;
        std::vector<unsigned char> written;
        bool grey;
        std::vector<unsigned char> expected;
    } cases[] = {
        {"rgba.png", "PNG32:", threeByThree, false, threeByThree},
        {"rgba16.png", "PNG64:", threeByThree, false, threeByThree},  // 16 bits a channel
        {"rgb.png", "PNG24:", threeByThree, false, opaque(threeByThree)},
        {"grey.png", "", grey, true, grey},
        {"rgb.bmp", "BMP3:", threeByThree, false, opaque(threeByThree)},  // stored bottom-up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = writeImage(c.name, 3, 3, c.written, c.format, c.grey);
        Texture texture(path);
        EXPECT_EQ(texture.name, 0u);
        CaptureStdout();
        bool loaded = texture.load();
        EXPECT_EQ(GetCapturedStdout(), "");
        ASSERT_TRUE(loaded);
        EXPECT_NE(texture.name, 0u);
        EXPECT_EQ(texture.target, static_cast<GLenum>(GL_TEXTURE_2D));
        EXPECT_EQ(texture.image.columns(), 3u);
        EXPECT_EQ(texture.image.rows(), 3u);
        ASSERT_EQ(texture.pixels.length(), 36u) << "four bytes a pixel";
        const auto* blob = static_cast<const unsigned char*>(texture.pixels.data());
        EXPECT_EQ(std::vector<unsigned char>(blob, blob + 36), c.expected);

        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, texture.name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(width, 3);
        EXPECT_EQ(height, 3);
        EXPECT_EQ(readLevel(texture.name, 0, 3, 3), c.expected);
    }
}

TEST_F(TextureGLTest, LoadLeavesNothingBoundAndSetsTheTwoFilters) {
    std::string path = writeImage("rgba.png", 3, 3, threeByThree);
    GLuint other = 0;  // what unit 3 holds before the load
    glGenTextures(1, &other);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, other);
    Texture texture(path);
    ASSERT_TRUE(texture.load());
    EXPECT_EQ(boundTexture(), 0) << "on the active unit";
    glActiveTexture(GL_TEXTURE0);

    GLint minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    glDeleteTextures(1, &other);
}

TEST_F(TextureGLTest, NonSquareNonPowerOfTwoImageHasACompleteMipmapChain) {
    const int width = 37;
    const int height = 10;
    std::vector<unsigned char> rgba;
    for (int i = 0; i < width * height; ++i) {
        rgba.insert(rgba.end(), {40, 120, 200, 255});
    }
    Texture texture(writeImage("wide.png", width, height, rgba));
    ASSERT_TRUE(texture.load());

    // 37x10, 18x5, 9x2, 4x1, 2x1, 1x1, then nothing.
    glBindTexture(GL_TEXTURE_2D, texture.name);
    int levels = 0;
    for (int level = 0; level < 8; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (level <= 5) {
            EXPECT_EQ(w, std::max(1, width >> level)) << "level " << level;
            EXPECT_EQ(h, std::max(1, height >> level)) << "level " << level;
        }
        levels += w > 0 ? 1 : 0;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(levels, 6);
    // The last level holds the generated average of a one-colour image.
    EXPECT_EQ(readLevel(texture.name, 5, 1, 1), (std::vector<unsigned char>{40, 120, 200, 255}));
}

TEST_F(TextureGLTest, JpegLoadsWithinItsCompressionError) {
    std::vector<unsigned char> rgba;
    for (int i = 0; i < 16 * 16; ++i) {
        rgba.insert(rgba.end(), {200, 100, 50, 255});
    }
    Texture texture(writeImage("colour.jpg", 16, 16, rgba));
    ASSERT_TRUE(texture.load());
    std::vector<unsigned char> texels = readLevel(texture.name, 0, 16, 16);
    for (size_t i = 0; i < texels.size(); ++i) {
        ASSERT_NEAR(texels[i], rgba[i], 4) << "byte " << i;
    }
}

TEST_F(TextureGLTest, DestroyingATextureDeletesItsGlTexture) {
    auto* texture = new Texture(writeImage("rgba.png", 3, 3, threeByThree));
    ASSERT_TRUE(texture->load());
    GLuint name = texture->name;
    EXPECT_TRUE(glIsTexture(name));
    delete texture;
    EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureGLTest, BadImageFilesPrintTheErrorLineAndCreateNoTexture) {
    std::string validPng = readFile(writeImage("valid.png", 3, 3, threeByThree));
    std::vector<unsigned char> noise;
    for (int i = 0; i < 64 * 64 * 4; ++i) {
        noise.push_back(static_cast<unsigned char>((i * 7919) % 251));
    }
    std::string validJpeg = readFile(writeImage("valid.jpg", 64, 64, noise));
    fs::create_directories(dir / "folder.png");
    fs::create_directories(dir / "folder");
    const struct {
        std::string path;
        std::string reason;  // a part of the library's message that must appear; may be empty
    } cases[] = {
        {file("missing.png"), "missing.png"},
        {write("empty.png", ""), ""},
        {write("text.png", "these are words, not pixels, in a file named like an image\n"), ""},
        {write("text.jpg", std::string(300, 'J')), ""},
        {write("cut.png", validPng.substr(0, validPng.size() / 2)), ""},
        {write("cut.jpg", validJpeg.substr(0, validJpeg.size() / 2)), ""},
        {write("cut-header.png", validPng.substr(0, 20)), ""},
        {file("folder.png"), ""},
        {file("folder"), ""},
        // Sizes that would need gigabytes: refused from the header, never allocated.
        {write("huge.png", pngHeaderClaiming(100000, 100000)), ""},
        {write("large.png", pngHeaderClaiming(10000, 10000)), "cache resources exhausted"},
        {write("huge.ppm", "P6\n100000 100000\n255\n" + std::string(64, '\0')), ""},
    };
    GLuint other = 0;  // what the active unit holds before each load
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Texture texture(c.path);
        CaptureStdout();
        bool loaded = texture.load();
        std::string out = GetCapturedStdout();
        EXPECT_FALSE(loaded);
        EXPECT_EQ(texture.name, 0u);
        std::string head = "Error loading texture '" + c.path + "': ";
        EXPECT_EQ(out.substr(0, head.size()), head) << out;
        EXPECT_GT(out.size(), head.size() + 1) << "the library's message";
        EXPECT_EQ(out.find('\n'), out.size() - 1) << "exactly one line: " << out;
        EXPECT_NE(out.find(c.reason, head.size()), std::string::npos) << out;
        EXPECT_EQ(boundTexture(), static_cast<GLint>(other));
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &other);
}

}  // namespace
