#include "render/PassViews.h"

#include "game/Game.h"
#include "render/GlDebug.h"
#include "render/RenderTarget.h"
#include "render/SavedGlState.h"
#include "render/ShaderProgram.h"

#include <string>

namespace dusk {

const char* const PassViews::names[count] = {"shadow map", "camera depth", "scene target",
                                             "scene alpha"};

namespace {

// One triangle that covers the output.
const char* const vertexSource = R"(#version 330 core
void main() {
    gl_Position = vec4(float((gl_VertexID & 1) * 4 - 1), float((gl_VertexID & 2) * 2 - 1), 0.0,
                       1.0);
}
)";

// A depth texel counts when something was drawn there: the shadow pass clears to depth 1, the
// camera-depth pass to alpha 0.8 and draws alpha 1.
const char* const drawnDepth = R"(
bool drawn(int kind, vec4 texel) {
    return kind == 0 ? texel.r < 1.0 : texel.a > 0.9;
}
)";

const char* const rangeSource = R"(
uniform sampler2D source;
uniform int kind;  // 0 the shadow map, 1 the camera depth, 2 the ranges of the level before
out vec2 range;
void main() {
    ivec2 size = textureSize(source, 0);
    ivec2 first = ivec2(gl_FragCoord.xy) * 8;
    range = vec2(3.0e38, -3.0e38);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ivec2 at = first + ivec2(x, y);
            if (at.x >= size.x || at.y >= size.y) {
                continue;
            }
            vec4 texel = texelFetch(source, at, 0);
            if (kind == 2) {
                range = vec2(min(range.x, texel.r), max(range.y, texel.g));
            } else if (drawn(kind, texel)) {
                range = vec2(min(range.x, texel.r), max(range.y, texel.r));
            }
        }
    }
}
)";

const char* const viewSource = R"(
uniform sampler2D source;
uniform sampler2D range;  // the depth target's nearest and farthest drawn depth
uniform int view;         // a PassViews::Kind
uniform vec2 scale;       // source texels per output pixel
out vec4 colour;
void main() {
    vec4 texel = texelFetch(source, ivec2(gl_FragCoord.xy * scale), 0);
    if (view == 2) {
        colour = vec4(texel.rgb, 1.0);
    } else if (view == 3) {
        colour = vec4(texel.aaa, 1.0);
    } else if (!drawn(view, texel)) {
        colour = view == 0 ? vec4(1.0) : vec4(40.0, 90.0, 200.0, 255.0) / 255.0;
    } else {
        vec2 nearFar = texelFetch(range, ivec2(0), 0).rg;
        float grey = 255.0 * sqrt((texel.r - nearFar.x) / max(nearFar.y - nearFar.x, 1e-6));
        colour = vec4(vec3(floor(grey + 0.5) / 255.0), 1.0);
    }
}
)";

GLuint linked(const std::string& fragmentSource, const char* label) {
    const std::string source = std::string("#version 330 core\n") + drawnDepth + fragmentSource;
    GLuint program = glCreateProgram();
    GLuint vertexShader = compiledShader(GL_VERTEX_SHADER, vertexSource);
    GLuint fragmentShader = compiledShader(GL_FRAGMENT_SHADER, source.c_str());
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    labelGlObject(GL_PROGRAM, program, label);
    return program;
}

void drawTriangle(GLuint framebuffer, int width, int height) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

}  // namespace

PassViews::PassViews(const Game& game) : game(game) {
    viewProgram = linked(viewSource, "pass views");
    rangeProgram = linked(rangeSource, "pass views: depth ranges");
    glGenVertexArrays(1, &vertexArray);
    glGenSamplers(1, &texelSampler);
    glSamplerParameteri(texelSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glSamplerParameteri(texelSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glSamplerParameteri(texelSampler, GL_TEXTURE_COMPARE_MODE, GL_NONE);

    GLint boundTexture = 0, boundFramebuffer = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &boundFramebuffer);
    int width = game.width, height = game.height;
    do {
        width = (width + 7) / 8;
        height = (height + 7) / 8;
        rangeSizes.push_back(width);
        rangeSizes.push_back(height);
    } while (width > 1 || height > 1);
    for (int target = 0; target < 2; ++target) {
        for (size_t level = 0; level < rangeSizes.size() / 2; ++level) {
            GLuint texture = 0, framebuffer = 0;
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RG32F, rangeSizes[2 * level],
                         rangeSizes[2 * level + 1], 0, GL_RG, GL_FLOAT, nullptr);
            glGenFramebuffers(1, &framebuffer);
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
            glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture, 0);
            const std::string label = std::string("depth range of the ") + names[target] +
                                      ", level " + std::to_string(level);
            labelGlObject(GL_TEXTURE, texture, label);
            labelGlObject(GL_FRAMEBUFFER, framebuffer, label);
            rangeTextures[target].push_back(texture);
            rangeFramebuffers[target].push_back(framebuffer);
        }
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(boundFramebuffer));
}

PassViews::~PassViews() {
    for (int target = 0; target < 2; ++target) {
        glDeleteFramebuffers(static_cast<GLsizei>(rangeFramebuffers[target].size()),
                             rangeFramebuffers[target].data());
        glDeleteTextures(static_cast<GLsizei>(rangeTextures[target].size()),
                         rangeTextures[target].data());
    }
    glDeleteSamplers(1, &texelSampler);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteProgram(rangeProgram);
    glDeleteProgram(viewProgram);
}

void PassViews::measureRanges() {
    glUseProgram(rangeProgram);
    glUniform1i(glGetUniformLocation(rangeProgram, "source"), 0);
    const GLuint sources[2] = {game.shadowDepthTexture, game.depthColorTexture};
    for (int target = 0; target < 2; ++target) {
        glUniform1i(glGetUniformLocation(rangeProgram, "kind"), target);
        glBindTexture(GL_TEXTURE_2D, sources[target]);
        for (size_t level = 0; level < rangeTextures[target].size(); ++level) {
            drawTriangle(rangeFramebuffers[target][level], rangeSizes[2 * level],
                         rangeSizes[2 * level + 1]);
            glUniform1i(glGetUniformLocation(rangeProgram, "kind"), 2);
            glBindTexture(GL_TEXTURE_2D, rangeTextures[target][level]);
        }
    }
}

void PassViews::draw(const Output* outputs, int outputCount) {
    SavedGlState saved;
    saved.save();
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindVertexArray(vertexArray);
    glBindSampler(0, texelSampler);
    glBindSampler(1, texelSampler);
    glActiveTexture(GL_TEXTURE0);
    measureRanges();

    glUseProgram(viewProgram);
    glUniform1i(glGetUniformLocation(viewProgram, "source"), 0);
    glUniform1i(glGetUniformLocation(viewProgram, "range"), 1);
    const GLuint sources[count] = {game.shadowDepthTexture, game.depthColorTexture,
                                   game.sceneTarget->colorTexture, game.sceneTarget->colorTexture};
    for (const Output* output = outputs; output != outputs + outputCount; ++output) {
        const int kind = output->kind;
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, kind < 2 ? rangeTextures[kind].back() : 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, sources[kind]);
        glUniform1i(glGetUniformLocation(viewProgram, "view"), kind);
        glUniform2f(glGetUniformLocation(viewProgram, "scale"),
                    static_cast<float>(game.width) / static_cast<float>(output->width),
                    static_cast<float>(game.height) / static_cast<float>(output->height));
        drawTriangle(output->framebuffer, output->width, output->height);
    }
    glBindSampler(0, 0);
    glBindSampler(1, 0);
    saved.restore();
}

}  // namespace dusk
