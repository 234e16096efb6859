#pragma once

// A small stand-in for the demo's content, written by the tests themselves: working versions of
// the twelve shader files (lit, shadowed, fogged scene; billboard particles; a screen pass),
// box models for the ground, castle, trees, ball and sky, and small images. It is a scene in
// which the camera's flight, the particles and the wireframe switch all show, so the tool can
// be tested without the generated assets.

#include "assets/Texture.h"

#include <Magick++.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace dusk::test::standin {

inline void writeText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

const char* const modelVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
uniform mat4 model;
uniform mat4 view_proj;
uniform mat4 biasVP;
out vec3 worldNormal;
out vec3 worldPosition;
out vec2 texCoord;
out vec4 shadowCoord;
void main() {
    vec4 world = model * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(model) * normal;
    texCoord = uv;
    shadowCoord = biasVP * world;
    gl_Position = view_proj * world;
}
)";

const char* const litFragment = R"(#version 330 core
in vec3 worldNormal;
in vec3 worldPosition;
in vec2 texCoord;
in vec4 shadowCoord;
uniform sampler2D myTextureSampler;
uniform sampler2DShadow shadowMap;
uniform vec3 mainLight;
uniform vec3 pLightPos;
uniform vec3 fog_color;
uniform mat4 view;
out vec4 color;
void main() {
    vec3 albedo = texture(myTextureSampler, texCoord).rgb;
    vec3 n = normalize(worldNormal);
    float sun = max(dot(n, normalize(mainLight)), 0.0);
    float lit = texture(shadowMap, vec3(shadowCoord.xy, shadowCoord.z - 0.002) / shadowCoord.w);
    float glow = 30.0 / (1.0 + dot(pLightPos - worldPosition, pLightPos - worldPosition));
    vec3 shaded = albedo * (0.25 + 0.75 * sun * lit) + vec3(1.0, 0.8, 0.4) * min(glow, 1.0);
    float distance = length((view * vec4(worldPosition, 1.0)).xyz);
    color = vec4(mix(shaded, fog_color, clamp(distance / 600.0, 0.0, 1.0)), 1.0);
}
)";

const char* const skyFragment = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D color_texture;
out vec4 color;
void main() {
    color = vec4(texture(color_texture, texCoord).rgb, 1.0);
}
)";

const char* const depthVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 model;
uniform mat4 depth_view_proj;
out float eyeDepth;
void main() {
    gl_Position = depth_view_proj * model * vec4(position, 1.0);
    eyeDepth = gl_Position.w;
}
)";

const char* const shadowFragment = R"(#version 330 core
void main() {
}
)";

const char* const depthFragment = R"(#version 330 core
in float eyeDepth;
out vec4 depth;
void main() {
    depth = vec4(eyeDepth, 0.0, 0.0, 1.0);
}
)";

const char* const particleVertex = R"(#version 330 core
layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec2 uv;
uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 VP;
out vec2 texCoord;
out float eyeDepth;
void main() {
    vec3 world = centreAndSize.xyz + (CameraRight_worldspace * corner.x +
                                      CameraUp_worldspace * corner.y) * centreAndSize.w;
    gl_Position = VP * vec4(world, 1.0);
    eyeDepth = gl_Position.w;
    texCoord = uv;
}
)";

const char* const particleFragment = R"(#version 330 core
in vec2 texCoord;
in float eyeDepth;
uniform sampler2D myTextureSampler;
uniform sampler2D depthTexture;
uniform int disableSoftParticles;
uniform int allowLensFlare;
out vec4 color;
void main() {
    vec4 sampled = texture(myTextureSampler, texCoord);
    float scene = texelFetch(depthTexture, ivec2(gl_FragCoord.xy), 0).r;
    float soft = disableSoftParticles == 1 || scene == 0.0 ? 1.0
                                                           : clamp((scene - eyeDepth) / 4.0, 0.0, 1.0);
    color = vec4(sampled.rgb + float(allowLensFlare) * 0.2, sampled.a * soft);
}
)";

const char* const screenVertex = R"(#version 330 core
in vec3 position;
in vec2 uv;
out vec2 texCoord;
void main() {
    texCoord = uv;
    gl_Position = vec4(position, 1.0);
}
)";

const char* const screenFragment = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D sceneTexture;
uniform int transparencyFlag;
out vec4 color;
void main() {
    vec3 scene = texture(sceneTexture, texCoord).rgb;
    float vignette = 1.0 - 0.3 * length(texCoord - vec2(0.5));
    color = vec4(scene * vignette * float(transparencyFlag), 1.0);
}
)";

inline void writeShaders(const std::string& root) {
    const std::string dir = root + "/Dusklorne/Shader/";
    writeText(dir + "blinnphong.vert", modelVertex);
    writeText(dir + "blinnphong.frag", litFragment);
    writeText(dir + "sky.frag", skyFragment);
    writeText(dir + "shadowMap.vertexshader", depthVertex);
    writeText(dir + "shadowMap.fragmentshader", shadowFragment);
    writeText(dir + "depth.vert", depthVertex);
    writeText(dir + "depth.frag", depthFragment);
    writeText(dir + "particlesShader.vert", particleVertex);
    writeText(dir + "particlesShader.frag", particleFragment);
    writeText(dir + "lensFlare.vert", screenVertex);
    writeText(dir + "lensFlare.frag", screenFragment);
}

// An axis-aligned box from `low` to `high`, faces outward (or inward, for the sky).
inline std::string boxModel(float lx, float ly, float lz, float hx, float hy, float hz,
                            bool inward = false) {
    std::ostringstream obj;
    const float x[2] = {lx, hx};
    const float y[2] = {ly, hy};
    const float z[2] = {lz, hz};
    for (int i = 0; i < 8; ++i) {
        obj << "v " << x[i & 1] << " " << y[(i >> 1) & 1] << " " << z[(i >> 2) & 1] << "\n";
    }
    obj << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    const float sign = inward ? -1.0f : 1.0f;
    obj << "vn " << -sign << " 0 0\nvn " << sign << " 0 0\nvn 0 " << -sign << " 0\nvn 0 " << sign
        << " 0\nvn 0 0 " << -sign << "\nvn 0 0 " << sign << "\n";
    // Corners of each face counter-clockwise seen from outside: -x, +x, -y, +y, -z, +z.
    const int faces[6][4] = {{1, 5, 7, 3}, {2, 4, 8, 6}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 3, 4, 2}, {5, 6, 8, 7}};
    for (int f = 0; f < 6; ++f) {
        int a = faces[f][0], b = faces[f][1], c = faces[f][2], d = faces[f][3];
        if (inward) {
            std::swap(b, d);
        }
        int n = f + 1;
        obj << "f " << a << "/1/" << n << " " << b << "/2/" << n << " " << c << "/3/" << n << "\n";
        obj << "f " << a << "/1/" << n << " " << c << "/3/" << n << " " << d << "/4/" << n << "\n";
    }
    return obj.str();
}

inline void writeModels(const std::string& root) {
    const std::string dir = root + "/Model/Object/";
    writeText(dir + "ground20.obj", boxModel(-70, -1, -70, 70, 0, 70));
    writeText(dir + "castle.obj", boxModel(-12, 0, -12, 12, 24, 12));
    writeText(dir + "tree1.obj", boxModel(-1.5f, 0, -1.5f, 1.5f, 14, 1.5f));
    writeText(dir + "tree3.obj", boxModel(-2.5f, 0, -2.5f, 2.5f, 9, 2.5f));
    writeText(dir + "only_quad_sphere.obj", boxModel(-1, -1, -1, 1, 1, 1));
    writeText(dir + "skybox.obj", boxModel(-400, -400, -400, 400, 400, 400, true));
}

inline void writeImage(const std::string& path, const std::string& source, int size = 32) {
    dusk::initializeImageLibrary();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Magick::Image image;
    image.size(Magick::Geometry(static_cast<size_t>(size), static_cast<size_t>(size)));
    image.read(source);
    image.write(path);
}

inline void writeImages(const std::string& root) {
    const std::string dir = root + "/Model/Image/";
    writeImage(dir + "ground19.jpg", "pattern:checkerboard", 64);
    writeImage(dir + "ground19n.jpg", "xc:rgb(128,128,255)");
    writeImage(dir + "ground19s.jpg", "xc:gray50");
    writeImage(dir + "skybox2.jpg", "gradient:rgb(40,60,140)-rgb(250,170,90)", 64);
    writeImage(dir + "stone11.jpg", "pattern:bricks", 64);
    writeImage(dir + "stone11n.jpg", "xc:rgb(128,128,255)");
    writeImage(dir + "stone11s.jpg", "xc:gray30");
    writeImage(dir + "est9.jpg", "xc:orange");
    writeImage(dir + "tree1.png", "xc:rgb(40,120,50)");
    writeImage(dir + "nebular.png", "radial-gradient:rgba(180,120,255,0.8)-rgba(0,0,0,0)", 64);
    writeImage(dir + "Light_Texture.png", "radial-gradient:rgba(255,240,200,1)-rgba(0,0,0,0)", 64);
    writeImage(dir + "fire_atlas.png", "plasma:red-yellow", 256);
    writeImage(dir + "Default_NM.png", "xc:rgb(128,128,255)");
    writeImage(dir + "Default_SM.png", "xc:black");
}

// The whole stand-in run directory under `root`: config.txt, shaders, models and images.
inline void writeRunDirectory(const std::string& root, const std::string& config = "320 240\n") {
    std::filesystem::remove_all(root);
    writeText(root + "/config.txt", config);
    writeShaders(root);
    writeModels(root);
    writeImages(root);
}

}  // namespace dusk::test::standin
