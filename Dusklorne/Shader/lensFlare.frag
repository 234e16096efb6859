#version 330 core

// The scene on the window, with a lens flare from the flare sources: texels whose alpha the glow
// raised above 0.85 (nothing else writes that much alpha). Each ghost is the source mirrored
// through the centre and scaled; the halo is a ring cut from the source's alpha contour and
// thrown wide. One tap per ghost keeps the pass cheap.

in vec2 texCoord;

uniform sampler2D sceneTexture;
uniform int transparencyFlag;

out vec4 fragColor;

const int ghostCount = 4;
// Ghost scale against the source: positive on the far side of the centre, negative between
// source and centre.
const float ghostScale[ghostCount] = float[](0.45, 0.8, 1.35, -0.5);
const vec3 ghostTint[ghostCount] = vec3[](vec3(1.0, 0.55, 0.25), vec3(0.35, 0.85, 0.7),
                                          vec3(0.55, 0.45, 1.0), vec3(0.9, 0.8, 0.4));
const float ghostStrength[ghostCount] = float[](0.55, 0.35, 0.22, 0.3);
const float haloScale = 2.4;

float inside(vec2 p) {
    vec2 edge = smoothstep(vec2(0.0), vec2(0.04), p) * smoothstep(vec2(0.0), vec2(0.04), 1.0 - p);
    return edge.x * edge.y;
}

// Brightness of the flare source at p, with its colour.
vec3 source(vec2 p) {
    vec4 s = texture(sceneTexture, p);
    return s.rgb * smoothstep(0.85, 1.0, s.a) * inside(p);
}

void main() {
    vec3 scene = texture(sceneTexture, texCoord).rgb;
    if (transparencyFlag == 0) {
        fragColor = vec4(scene, 1.0);
        return;
    }
    vec2 centre = vec2(0.5);
    vec2 fromCentre = texCoord - centre;
    vec3 flare = vec3(0.0);
    for (int i = 0; i < ghostCount; ++i) {
        // The point whose light lands here as ghost i.
        vec2 p = centre - fromCentre / ghostScale[i];
        flare += source(p) * ghostTint[i] * ghostStrength[i];
    }
    // Halo: the thin band of the glow where the alpha passes 0.9, mirrored and enlarged.
    vec2 hp = centre - fromCentre / haloScale;
    vec4 h = texture(sceneTexture, hp);
    float ring = smoothstep(0.86, 0.9, h.a) * (1.0 - smoothstep(0.92, 0.96, h.a)) * inside(hp);
    float centreFade = 1.0 - smoothstep(0.3, 0.75, length(fromCentre));
    flare += h.rgb * ring * vec3(1.0, 0.85, 0.7) * 0.35 * centreFade;
    fragColor = vec4(scene + flare, 1.0);
}
