#include "Pictures.h"

#include "assets/Texture.h"
#include "game/Game.h"
#include "render/PassViews.h"
#include "render/GL.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace dusk::bench {

const char* const labelFont = std::getenv("DUSK_LABEL_FONT") != nullptr
                                  ? std::getenv("DUSK_LABEL_FONT")
                                  : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

Magick::Image uprightPicture(int width, int height, const char* map, const void* pixels) {
    dusk::initializeImageLibrary();
    Magick::Image picture(static_cast<size_t>(width), static_cast<size_t>(height), map,
                          Magick::CharPixel, pixels);
    picture.flip();
    return picture;
}

Magick::Image windowPicture(int width, int height) {
    std::vector<unsigned char> pixels(4 * static_cast<size_t>(width) * height);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The window's alpha says nothing about the picture.
    return uprightPicture(width, height, "RGBP", pixels.data());
}

const char* const passTargetKinds[passTargetCount] = {"shadow", "depth", "scene", "alpha"};

std::array<Magick::Image, passTargetCount> readPassTargets(const Game& game) {
    // The overlay's own views, drawn into a picture of the window's size. Made at the first
    // read and kept, like the game's objects, until the process ends.
    static dusk::PassViews* const views = new dusk::PassViews(game);
    static GLuint framebuffer = 0;  // over the picture texture below
    static GLuint picture = 0;      // one view at a time, RGBA
    GLint bound[3] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound[0]);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound[1]);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound[2]);
    if (framebuffer == 0) {
        glGenTextures(1, &picture);
        glBindTexture(GL_TEXTURE_2D, picture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, game.width, game.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound[0]));
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, picture, 0);
    }
    std::array<Magick::Image, passTargetCount> pictures;
    std::vector<unsigned char> pixels(4 * static_cast<size_t>(game.width) * game.height);
    for (int kind = 0; kind < passTargetCount; ++kind) {
        const dusk::PassViews::Output output = {kind, framebuffer, game.width, game.height};
        views->draw(&output, 1);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadPixels(0, 0, game.width, game.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        pictures[kind] = uprightPicture(game.width, game.height, "RGBP", pixels.data());
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(bound[1]));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(bound[2]));
    return pictures;
}

bool writePng(Magick::Image picture, const std::string& path) {
    Magick::Blob png;
    try {
        picture.strip();
        // The PNG writer adds creation and modification times unless told not to.
        picture.defineValue("png", "exclude-chunks", "date,time");
        picture.depth(8);
        picture.magick("PNG");
        picture.write(&png);
    } catch (const Magick::Exception& error) {
        std::cerr << "dusk_bench: could not write '" << path << "': " << error.what() << std::endl;
        return false;
    }
    return writeOutputFile(path, std::string(static_cast<const char*>(png.data()), png.length()));
}

bool writeOutputFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    std::filesystem::create_directories(parent.empty() ? "." : parent, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out) {
        std::cerr << "dusk_bench: could not write '" << path << "'" << std::endl;
        return false;
    }
    return true;
}

}  // namespace dusk::bench
