#include "render/ShaderProgram.h"
#include "support/GLContext.h"

#include <iterator>
#include <set>
#include <sstream>

// The shipped shader files compile and link here, use the inputs the program feeds them, and
// declare no input it does not feed (a misspelt name would silently stay at zero).
namespace {

using ShaderInterfaceGLTest = dusk::test::GLTest;

std::set<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST_F(ShaderInterfaceGLTest, EveryProgramLinksAndTakesExactlyItsInputs) {
    // What every program of the per-frame list receives, and what every object's draw sets.
    const std::string fed = "view_proj view pLightCount pLightPos disableNormalMapping fog_color "
                            "disableSpecularMapping mainLight model color_texture normal_texture "
                            "specular_texture ";
    const std::string particles = "CameraRight_worldspace CameraUp_worldspace VP myTextureSampler "
                                  "depthTexture cameraPos disableSoftParticles allowLensFlare";
    // Vertex file, fragment file, the inputs its look depends on, all it may receive.
    const std::string programs[][4] = {
        {"blinnphong.vert", "blinnphong.frag",
         "model view_proj view mainLight pLightPos pLightCount fog_color disableNormalMapping "
         "disableSpecularMapping color_texture normal_texture shadowMap biasVP",
         fed + "myTextureSampler shadowMap biasVP"},
        {"blinnphong.vert", "sky.frag", "model view_proj view fog_color color_texture", fed},
        {"shadowMap.vertexshader", "shadowMap.fragmentshader",
         "model depth_view_proj color_texture", fed + "depth_view_proj"},
        {"depth.vert", "depth.frag", "model view depth_view_proj color_texture",
         fed + "depth_view_proj"},
        {"particlesShader.vert", "particlesShader.frag", particles, particles},
        {"lensFlare.vert", "lensFlare.frag", "sceneTexture transparencyFlag view_proj pLightPos",
         fed + "sceneTexture transparencyFlag"}};
    for (const auto& files : programs) {
        ShaderProgram source, built;  // built as a reload builds, failing with the driver's log
        source.vertexPath = "Dusklorne/Shader/" + files[0];
        source.fragmentPath = "Dusklorne/Shader/" + files[1];
        std::string log;
        ASSERT_TRUE(source.buildAgain(&built, &log)) << log;
        const GLuint program = built.program;
        GLint count = 0;
        glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
        std::set<std::string> active, offered = words(files[3]);
        for (GLint i = 0; i < count; ++i) {
            char name[256] = {};
            glGetActiveUniformName(program, GLuint(i), sizeof name, nullptr, name);
            active.insert(name);
            EXPECT_EQ(offered.count(name), 1u) << files[1] << " declares " << name << ", never set";
        }
        for (const std::string& name : words(files[2])) {
            EXPECT_EQ(active.count(name), 1u) << files[1] << " does not use " << name;
        }
        built.deleteObjects();
    }
}

}  // namespace
