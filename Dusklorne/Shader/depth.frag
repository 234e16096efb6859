#version 330 core

// Writes the eye depth into the float target; alpha 1 tells drawn texels from the cleared
// background (alpha 0.8), which the particle program reads as "nothing behind". Leaves are cut
// out as in the shadow pass, from the colour map's level that is about 128 texels wide: the
// soft particle edges need no finer outline.

in vec2 texCoord;
in float eyeDepth;

uniform sampler2D color_texture;

out vec4 depthOut;

void main() {
    int level = max(int(log2(float(textureSize(color_texture, 0).x)) + 0.5) - 7, 0);
    ivec2 size = textureSize(color_texture, level);
    if (texelFetch(color_texture, ivec2(fract(texCoord) * vec2(size)), level).a < 0.5) {
        discard;
    }
    depthOut = vec4(eyeDepth, eyeDepth, eyeDepth, 1.0);
}
