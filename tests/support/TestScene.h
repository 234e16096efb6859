#pragma once

// A small Game put together by hand, for tests of the frame update, the per-frame shader inputs
// and the frame passes, without the scene assembly and its content. Every file it needs (shader
// sources, models, images) is written into the test's own folder. Its programs are made to be
// probed: each object shows its own solid colour, the particles show their system's colour and
// their two flags, and every program keeps the per-frame inputs alive so they can be read back.

#include "render/GL.h"

#include <glm/glm.hpp>

#include <string>

class Game;
class ShaderProgram;

namespace dusk::test {

// A fresh, empty folder under the test output folder, named after the running test.
std::string freshTestFolder(const std::string& area);

void writeTestFile(const std::string& path, const std::string& text);
std::string readTextFile(const std::string& path);

// A 4 x 4 image of one colour (channels 0 to 255), written by the image library.
void writeSolidImage(const std::string& path, glm::u8vec3 color);

// A program from the two sources, written into the folder as name.vert and name.frag.
ShaderProgram* buildTestProgram(const std::string& folder, const std::string& name,
                                const std::string& vertexSource, const std::string& fragmentSource);

// A framebuffer with an RGBA8 colour buffer of the given size, bound, with the viewport set.
void makeColorTarget(int width, int height, GLuint* framebuffer, GLuint* colorBuffer);
void deleteColorTarget(GLuint* framebuffer, GLuint* colorBuffer);

// One RGBA8 pixel of the framebuffer bound for reading.
glm::u8vec4 readPixel(int x, int y);

// Puts back the GL state that a Game frame changes, as a fresh context has it.
void restoreDefaultGlState();

// The colours of the hand-made scene.
namespace sceneColor {
constexpr glm::u8vec3 ground(0, 255, 0);
constexpr glm::u8vec3 castle(255, 0, 0);
constexpr glm::u8vec3 tree(0, 0, 255);
constexpr glm::u8vec3 sky(255, 255, 0);
// Particle systems 0 to 3 show these in red and green; blue carries their flags.
constexpr glm::u8vec3 particles[4] = {{255, 0, 0}, {0, 255, 0}, {0, 128, 0}, {128, 0, 0}};
}  // namespace sceneColor

// What the particle program writes into blue for the two flags of ParticleSystem::draw.
int particleFlagsBlue(bool disableSoftParticles, bool allowLensFlare);

// The final pass shows the scene texture inverted and opaque, so that a window pixel tells the
// quad's colour from the clear colour.
glm::u8vec4 shownOnWindow(glm::u8vec4 scenePixel);

// The Game: window-sized targets, six programs, a camera at (0, 0, 10) looking at the origin,
// three squares in the plane z = -1 (ground on the left, castle upper right, one tree lower
// right), an inside-out sky cube of half size 50 around everything, the ball at the first path
// point, the light of the real scene and four one-particle systems in a row at y = 4.8, z = 0.
// The GL state is what start-up and scene assembly leave: depth test, culling, filled polygons,
// clear colour 0.8 and the scene colour texture bound on unit 0.
class TestScene {
public:
    TestScene(GLFWwindow* window, const std::string& folder);

    // The window pixel that shows the world point, for the test scene's camera.
    glm::ivec2 pixelOf(const glm::vec3& world) const;
    // The shadow-map texel that the world point falls on, for the real scene's light.
    glm::ivec2 shadowTexelOf(const glm::vec3& world) const;

    // Points inside each object, away from the diagonals its triangles share.
    static glm::vec3 groundPoint() { return {-5.5f, 2.0f, -1.0f}; }
    static glm::vec3 castlePoint() { return {3.0f, 2.75f, -1.0f}; }
    static glm::vec3 treePoint() { return {3.0f, -1.75f, -1.0f}; }
    // Where only the sky is behind, seen from the camera.
    static glm::vec3 backgroundPoint() { return {0.0f, 0.0f, -1.0f}; }
    // A point inside the billboard of particle system i.
    static glm::vec3 particlePoint(int system);
    static glm::vec3 emitterOf(int system);

    Game* game;  // never deleted, as in the program
    std::string folder;
};

}  // namespace dusk::test
