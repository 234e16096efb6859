#include "scene/DirectionalLight.h"
#include "scene/ShaderFiles.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>

#include <memory>
#include <vector>

namespace {

using dusk::scene::DirectionalLight;

const char* const vertexSource = R"(#version 330 core
layout(location = 0) in vec3 position;
void main() { gl_Position = vec4(position, 1.0); }
)";

const char* const litFragment = R"(#version 330 core
uniform vec3 mainLight;
out vec4 color;
void main() { color = vec4(mainLight, 1.0); }
)";

const char* const unlitFragment = R"(#version 330 core
out vec4 color;
void main() { color = vec4(1.0); }
)";

class DirectionalLightGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        const std::string folder = dusk::test::testFolder();
        first.reset(dusk::test::buildProgram(folder, "first", vertexSource, litFragment));
        unlit.reset(dusk::test::buildProgram(folder, "unlit", vertexSource, unlitFragment));
        last.reset(dusk::test::buildProgram(folder, "last", vertexSource, litFragment));
        ASSERT_EQ(glGetUniformLocation(unlit->program, "mainLight"), -1);
    }

    void TearDown() override {
        glUseProgram(0);
        GLTest::TearDown();
    }

    static glm::vec3 lightOf(const ShaderProgram& shader) {
        glm::vec3 value(-1.0f);
        glGetUniformfv(shader.program, glGetUniformLocation(shader.program, "mainLight"), &value.x);
        return value;
    }

    static GLint currentProgram() {
        GLint program = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        return program;
    }

    std::unique_ptr<ShaderProgram> first;
    std::unique_ptr<ShaderProgram> unlit;
    std::unique_ptr<ShaderProgram> last;
    glm::mat4 placement = glm::translate(glm::mat4(1.0f), glm::vec3(100.0f));
};

TEST_F(DirectionalLightGLTest, EveryProgramInTheListGetsTheVectorAsItIs) {
    std::vector<ShaderProgram*> programs = {first.get(), unlit.get(), last.get()};
    DirectionalLight light(placement, programs, glm::vec3(100.0f, 50.0f, -25.0f));
    // The light keeps its own copy of the list.
    programs.clear();

    light.draw();
    // Not normalised; the program without the uniform is passed over and the next one still
    // gets it.
    EXPECT_EQ(lightOf(*first), glm::vec3(100.0f, 50.0f, -25.0f));
    EXPECT_EQ(lightOf(*last), glm::vec3(100.0f, 50.0f, -25.0f));
    EXPECT_EQ(currentProgram(), static_cast<GLint>(last->program));
    EXPECT_EQ(light.modelMatrix, placement);
}

TEST_F(DirectionalLightGLTest, LastProgramOfTheListStaysCurrent) {
    DirectionalLight light(placement, {last.get(), first.get(), unlit.get()}, glm::vec3(1.0f));
    light.draw();
    EXPECT_EQ(currentProgram(), static_cast<GLint>(unlit->program));

    DirectionalLight reversed(placement, {unlit.get(), last.get(), first.get()}, glm::vec3(2.0f));
    reversed.draw();
    EXPECT_EQ(currentProgram(), static_cast<GLint>(first->program));
    EXPECT_EQ(lightOf(*last), glm::vec3(2.0f));
}

TEST_F(DirectionalLightGLTest, EmptyListChangesNothing) {
    glUseProgram(first->program);
    DirectionalLight light(placement, {}, glm::vec3(3.0f, 4.0f, 5.0f));
    light.draw();
    light.update(0.5f);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(first->program));
    EXPECT_EQ(lightOf(*first), glm::vec3(0.0f));  // never set: the default
}

}  // namespace
