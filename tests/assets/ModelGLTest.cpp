#include "assets/Model.h"
#include "render/ShaderProgram.h"
#include "support/Files.h"
#include "support/GLContext.h"

namespace {

// Two meshes in clip space: the first fills the left half; the second, after a line element that
// draws nothing, a quad in the top-right quarter and a triangle in the bottom-right one. A wrong
// base vertex or index for the second mesh draws the first one's corners, or garbage.
const std::string twoMeshes = "o left\nv -1 -1 0\nv 0 -1 0\nv 0 1 0\nv -1 1 0\nf 1 2 3\nf 1 3 4\n"
                              "o right\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.05 -0.95 0\n"
                              "v 0.95 -0.95 0\nv 0.5 -0.05 0\nl 5 11\nf 5 6 7 8\nf 9 10 11\n";

class ModelGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        folder = dusk::test::freshFolder("model");
        dusk::test::writeFile(folder + "/red.vert",
                              "#version 330 core\n"
                              "layout(location = 0) in vec3 position;\n"
                              "void main() { gl_Position = vec4(position, 1); }\n");
        dusk::test::writeFile(folder + "/red.frag", "#version 330 core\nout vec4 colour;\n"
                                                    "void main() { colour = vec4(1, 0, 0, 1); }\n");
        red = std::make_unique<ShaderProgram>(folder + "/red.vert", folder + "/red.frag");
    }

    // Loads the text as a model file; `output` is what the loader printed.
    bool load(Model& model, const std::string& text) {
        dusk::test::writeFile(folder + "/model.obj", text);
        bool loaded = false;
        output = dusk::test::printedBy(
            [&] { loaded = model.load(folder + "/model.obj", folder + "/none.png", "", ""); });
        return loaded;
    }

    // Draws the model in red over the cleared 320 x 240 window; which of five probe points it
    // covered: left half, top-right quad, bottom-right triangle, and two points beside them.
    std::vector<bool> covered(Model& model) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glUseProgram(red->program);
        model.draw();
        std::vector<bool> covered;
        for (glm::ivec2 p : {glm::ivec2(80, 120), {240, 180}, {240, 42}, {200, 116}, {310, 4}}) {
            unsigned char pixel[4] = {};
            glReadPixels(p.x, p.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
            covered.push_back(pixel[0] == 255);
        }
        return covered;
    }

    std::string folder, output;
    std::unique_ptr<ShaderProgram> red;
};

TEST_F(ModelGLTest, EveryMeshDrawsAtItsOwnCorners) {
    Model model;
    ASSERT_TRUE(load(model, twoMeshes));
    EXPECT_EQ(covered(model), (std::vector<bool>{true, true, true, false, false}));
}

// A broken or cut-off model file is reported in one line and draws nothing; or, where the
// importer still finds whole triangles in it, every index stays inside the mesh's corners.
TEST_F(ModelGLTest, BrokenModelFilesAreReportedOrStayInsideTheirCorners) {
    std::vector<std::string> files = {"", "only words in a model's place\n",
                                      "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 9\n",
                                      "v 0 0 0\nv 1 0 0\nv 1 1 0\np 1\nl 2 3\n"};
    for (size_t end = 0; (end = twoMeshes.find('\n', end + 1)) != std::string::npos;) {
        files.push_back(twoMeshes.substr(0, end - 2));  // inside the line
        files.push_back(twoMeshes.substr(0, end));
    }
    for (const std::string& text : files) {
        SCOPED_TRACE(text);
        Model model;
        if (!load(model, text)) {
            EXPECT_TRUE(output.rfind("Error parsing '" + folder + "/model.obj': '", 0) == 0 &&
                        output.find('\n') == output.size() - 1)
                << output;
            EXPECT_EQ(covered(model), std::vector<bool>(5, false));
            continue;
        }
        GLint positionBytes = 0;
        glBindBuffer(GL_ARRAY_BUFFER, model.buffers[Model::POSITION_BUFFER]);
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &positionBytes);
        for (const Mesh& mesh : model.meshes) {
            std::vector<GLuint> indices(mesh.indexCount);
            glBindBuffer(GL_ARRAY_BUFFER, model.buffers[Model::INDEX_BUFFER]);
            glGetBufferSubData(GL_ARRAY_BUFFER, mesh.baseIndex * 4, mesh.indexCount * 4,
                               indices.data());
            for (GLuint index : indices) {
                EXPECT_LT((index + mesh.baseVertex) * 12, GLuint(positionBytes));
            }
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}

}  // namespace
