#pragma once

// Tiny stand-ins for every file the scene assembly reads: the twelve shader files, the six
// models and the images, written by the test itself so that GL tests do not depend on the
// generated assets. Each program carries uniforms named after its files, so a test can tell
// which files went into which program.

#include "assets/Texture.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace dusk::test {

// The uniform that only the given stand-in shader file declares.
inline std::string markerOf(const std::string& shaderFile) {
    std::string name = "marker_";
    for (char c : shaderFile) {
        name += (c == '.') ? '_' : c;
    }
    return name;
}

inline void writeTextFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A model vertex shader: position through "model" and "view_proj", moved by its marker offset.
inline std::string modelVertexShader(const std::string& file) {
    return "#version 330 core\n"
           "layout(location = 0) in vec3 position;\n"
           "uniform mat4 model;\n"
           "uniform mat4 view_proj;\n"
           "uniform vec3 " +
           markerOf(file) +
           ";\n"
           "void main() {\n"
           "    gl_Position = view_proj * model * vec4(position + " +
           markerOf(file) +
           ", 1.0);\n"
           "}\n";
}

// A fragment shader that keeps "mainLight" and its marker alive in its one output.
inline std::string fragmentShader(const std::string& file) {
    return "#version 330 core\n"
           "uniform vec3 mainLight;\n"
           "uniform vec3 " +
           markerOf(file) +
           ";\n"
           "out vec4 color;\n"
           "void main() {\n"
           "    color = vec4(mainLight + " +
           markerOf(file) +
           ", 1.0);\n"
           "}\n";
}

inline void writeShaders(const std::string& root) {
    const std::string dir = root + "/Dusklorne/Shader/";
    for (const char* file :
         {"blinnphong.vert", "shadowMap.vertexshader", "depth.vert", "particlesShader.vert"}) {
        writeTextFile(dir + file, modelVertexShader(file));
    }
    writeTextFile(dir + "lensFlare.vert", "#version 330 core\n"
                                          "in vec3 position;\n"
                                          "in vec2 uv;\n"
                                          "uniform vec3 " +
                                              markerOf("lensFlare.vert") +
                                              ";\n"
                                              "out vec2 texCoord;\n"
                                              "void main() {\n"
                                              "    texCoord = uv;\n"
                                              "    gl_Position = vec4(position + " +
                                              markerOf("lensFlare.vert") +
                                              ", 1.0);\n"
                                              "}\n");
    for (const char* file : {"blinnphong.frag", "sky.frag", "shadowMap.fragmentshader",
                             "depth.frag", "particlesShader.frag", "lensFlare.frag"}) {
        writeTextFile(dir + file, fragmentShader(file));
    }
}

// One textured triangle with normals, as the model loader wants it.
inline void writeTriangleModel(const std::string& path) {
    writeTextFile(path, "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                        "vt 0 0\nvt 1 0\nvt 0 1\n"
                        "vn 0 0 1\n"
                        "f 1/1/1 2/2/1 3/3/1\n");
}

inline void writeImage(const std::string& path, const char* color) {
    dusk::initializeImageLibrary();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Magick::Image image(Magick::Geometry(4, 4), Magick::Color(color));
    image.write(path);
}

// Every shader, model and image file that the Game constructor names, under root.
inline void writeSceneContent(const std::string& root) {
    writeShaders(root);
    for (const char* model :
         {"ground20", "skybox", "castle", "only_quad_sphere", "tree1", "tree3"}) {
        writeTriangleModel(root + "/Model/Object/" + model + ".obj");
    }
    for (const char* image :
         {"ground19.jpg", "ground19n.jpg", "ground19s.jpg", "skybox2.jpg", "stone11.jpg",
          "stone11n.jpg", "stone11s.jpg", "est9.jpg", "tree1.png", "nebular.png",
          "Light_Texture.png", "fire_atlas.png", "Default_NM.png", "Default_SM.png"}) {
        writeImage(root + "/Model/Image/" + image, "gray");
    }
}

// A name for the running test's own files: ctest runs the tests of one program side by side.
inline std::string currentTestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// A fresh folder under the test output folder holding the scene's stand-in files, made the
// working directory for as long as it lives, since the program opens everything by relative
// path.
class SceneContentDirectory {
public:
    explicit SceneContentDirectory(const std::string& name)
        : path(std::string(DUSK_TEST_OUTPUT_DIR) + "/" + name),
          previous(std::filesystem::current_path()) {
        std::filesystem::remove_all(path);
        writeSceneContent(path);
        std::filesystem::current_path(path);
    }
    ~SceneContentDirectory() { std::filesystem::current_path(previous); }
    SceneContentDirectory(const SceneContentDirectory&) = delete;
    SceneContentDirectory& operator=(const SceneContentDirectory&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }

    std::string path;
    std::filesystem::path previous;
};

}  // namespace dusk::test
