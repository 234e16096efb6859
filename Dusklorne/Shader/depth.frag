#version 330 core

// Writes the eye depth into the float target; alpha 1 tells drawn texels from the cleared
// background (alpha 0.8), which the particle program reads as "nothing behind".

in vec2 texCoord;
in float eyeDepth;

uniform sampler2D color_texture;

out vec4 depthOut;

void main() {
    if (texture(color_texture, texCoord).a < 0.5) {
        discard;
    }
    depthOut = vec4(eyeDepth, eyeDepth, eyeDepth, 1.0);
}
