#version 330 core

// The scene on the window with the lens flare that the vertex stage laid out: ghosts, each the
// source mirrored through the centre and scaled, and a halo, the ring where the glow's alpha
// passes 0.9, mirrored and thrown wide. The picture is read once per pixel.

in vec2 texCoord;
flat in vec2 ghostCentre[4];
flat in vec3 ghostColor[4];
flat in vec2 ghostFade[4];
flat in vec3 haloCentreAndRadius;
flat in float haloBand;
flat in vec3 haloColor;

uniform sampler2D sceneTexture;
uniform int transparencyFlag;

out vec4 fragColor;

void main() {
    // The picture has the window's size: one texel per pixel.
    vec3 scene = texelFetch(sceneTexture, ivec2(gl_FragCoord.xy), 0).rgb;
    vec3 flare = vec3(0.0);
    for (int i = 0; i < 4; ++i) {
        vec2 d = gl_FragCoord.xy - ghostCentre[i];
        flare += ghostColor[i] * clamp(ghostFade[i].x - dot(d, d) * ghostFade[i].y, 0.0, 1.0);
    }
    vec2 d = gl_FragCoord.xy - haloCentreAndRadius.xy;
    flare += haloColor * max(1.0 - abs(dot(d, d) - haloCentreAndRadius.z) * haloBand, 0.0);
    fragColor = vec4(transparencyFlag == 0 ? scene : scene + flare, 1.0);
}
