#version 330 core

// The full-window quad. Its vertex stage also finds the flare source, so that the fragment stage
// draws the flare from a handful of numbers instead of reading the picture once per ghost. The
// source is the glow's opaque core: the texels of this frame's picture whose alpha the glow
// raised above 0.85 (nothing else writes that much alpha). The glow rides with the point light,
// one frame ahead of it, so the search starts where the light is seen: a coarse pass over the
// reach of one frame's flight finds the core, a fine pass around it measures it.

in vec3 position;
in vec2 uv;

uniform sampler2D sceneTexture;
uniform mat4 view_proj;
uniform vec3 pLightPos;

out vec2 texCoord;
// What the fragment stage draws, in pixels: each ghost a soft disc (its middle, its colour and
// how its weight falls with the squared distance from the middle), the halo a ring.
flat out vec2 ghostCentre[4];
flat out vec3 ghostColor[4];
flat out vec2 ghostFade[4];  // weight at the middle, its fall per squared pixel of distance
flat out vec3 haloCentreAndRadius;  // the ring's middle and its squared radius
flat out float haloBand;             // 1 / the width of the ring in squared distance
flat out vec3 haloColor;

const int ghostCount = 4;
// Ghost scale against the source: positive on the far side of the centre, negative between
// source and centre.
const float ghostScale[ghostCount] = float[](0.45, 0.8, 1.35, -0.5);
const vec3 ghostTint[ghostCount] = vec3[](vec3(1.0, 0.55, 0.25), vec3(0.35, 0.85, 0.7),
                                          vec3(0.55, 0.45, 1.0), vec3(0.9, 0.8, 0.4));
const float ghostStrength[ghostCount] = float[](0.55, 0.35, 0.22, 0.3);
const float haloScale = 2.4;

// The light sits this far from the glow's centre. The glow is 5 units wide and its opaque core
// 0.4 in radius; the search reaches far enough to cover the ball's flight in one slow frame.
const vec3 lightOffset = vec3(0.6, 0.8, 0.0);
const float reachUnits = 12.0;
const float coreUnits = 0.4;

float sourceWeight(float alpha) {
    return smoothstep(0.85, 1.0, alpha);
}

float ringWeight(float alpha) {
    return smoothstep(0.86, 0.9, alpha) * (1.0 - smoothstep(0.92, 0.96, alpha));
}

// Fades sources at the picture's border out, as a lens would lose them.
float inside(vec2 p) {
    vec2 edge = smoothstep(vec2(0.0), vec2(0.04), p) * smoothstep(vec2(0.0), vec2(0.04), 1.0 - p);
    return edge.x * edge.y;
}

// What the search finds.
vec2 sourceCentre = vec2(0.0);  // pixels
float sourceRadius = 0.0;       // pixels
vec3 sourceColor = vec3(0.0);   // 0 without a source
float ringRadius = 0.0;         // pixels: where the glow's alpha passes 0.9
float ringWidth = 1.0;          // pixels
vec3 ringColor = vec3(0.0);

void findSource() {
    vec2 size = vec2(textureSize(sceneTexture, 0));
    vec4 clip = view_proj * vec4(pLightPos - lightOffset, 1.0);
    if (clip.w < 0.5) {
        return;
    }
    vec2 seen = (clip.xy / clip.w * 0.5 + 0.5) * size;
    // Pixels per world unit at the light's distance: the second row of the matrix is the
    // camera's up axis times the projection's vertical scale.
    float pixelsPerUnit =
        length(vec3(view_proj[0][1], view_proj[1][1], view_proj[2][1])) * 0.5 * size.y / clip.w;

    // Coarse pass: the strongest source texel within reach and on the picture, on a grid finer
    // than the core.
    vec2 lo = max(seen - reachUnits * pixelsPerUnit, vec2(0.0));
    vec2 hi = min(seen + reachUnits * pixelsPerUnit, size - 1.0);
    if (any(greaterThan(lo, hi))) {
        return;
    }
    vec2 stride = max((hi - lo) / 64.0, vec2(min(0.6 * coreUnits * pixelsPerUnit, 2.0)));
    ivec2 steps = ivec2((hi - lo) / stride);
    vec2 best = vec2(0.0);
    float bestWeight = 0.0;
    for (int j = 0; j <= steps.y; ++j) {
        for (int i = 0; i <= steps.x; ++i) {
            vec2 p = lo + vec2(i, j) * stride;
            float w = sourceWeight(texelFetch(sceneTexture, ivec2(p), 0).a);
            if (w > bestWeight) {
                bestWeight = w;
                best = p;
            }
        }
    }
    if (bestWeight <= 0.0) {
        return;
    }

    // Fine pass around it (it may lie on the core's rim): centre, area and colour of the core,
    // and the band round it.
    float span = 2.5 * coreUnits * pixelsPerUnit + max(stride.x, stride.y);
    float fine = max(1.0, span / 12.0);
    float weightSum = 0.0, ringSum = 0.0, innerArea = 0.0;
    vec2 centreSum = vec2(0.0);
    vec3 colorSum = vec3(0.0), ringColorSum = vec3(0.0);
    for (int j = -12; j <= 12; ++j) {
        for (int i = -12; i <= 12; ++i) {
            vec2 p = best + vec2(i, j) * fine;
            if (p.x >= 0.0 && p.y >= 0.0 && p.x < size.x && p.y < size.y) {
                vec4 s = texelFetch(sceneTexture, ivec2(p), 0);
                float w = sourceWeight(s.a);
                float r = ringWeight(s.a);
                weightSum += w;
                centreSum += w * p;
                colorSum += w * s.rgb;
                ringSum += r;
                ringColorSum += r * s.rgb;
                innerArea += step(0.9, s.a);
            }
        }
    }
    float texelArea = fine * fine;
    sourceCentre = centreSum / weightSum;
    sourceRadius = sqrt(weightSum * texelArea / 3.14159);
    sourceColor = colorSum / weightSum * inside(sourceCentre / size);
    ringRadius = sqrt(innerArea * texelArea / 3.14159);
    ringWidth = max(ringSum * texelArea / max(6.2832 * ringRadius, 1.0), 1.0);
    ringColor = ringSum > 0.0 ? ringColorSum / ringSum * inside(sourceCentre / size) : vec3(0.0);
}

void main() {
    texCoord = uv;
    gl_Position = vec4(position, 1.0);
    findSource();

    vec2 size = vec2(textureSize(sceneTexture, 0));
    vec2 centre = 0.5 * size;
    vec2 toSource = sourceCentre - centre;
    for (int i = 0; i < ghostCount; ++i) {
        // The source scaled by |k|, with a fading edge of at least a pixel.
        float k = abs(ghostScale[i]);
        float inner = max(k * sourceRadius - 0.5, 0.0);
        float outer = k * sourceRadius + 1.0;
        ghostCentre[i] = centre - ghostScale[i] * toSource;
        ghostColor[i] = sourceColor * ghostTint[i] * ghostStrength[i];
        float fall = 1.0 / (outer * outer - inner * inner);
        ghostFade[i] = vec2(outer * outer * fall, fall);
    }
    vec2 haloCentre = centre - haloScale * toSource;
    // Measured on the squared distance, which spares the fragment stage a square root: near a
    // ring of radius r, d * d - r * r is 2 r (d - r).
    float radius = haloScale * ringRadius, halfWidth = 0.3 * haloScale * ringWidth + 0.5;
    haloCentreAndRadius = vec3(haloCentre, radius * radius);
    haloBand = 1.0 / (2.0 * max(radius, halfWidth) * halfWidth);
    // Fainter toward the picture's rim.
    float centreFade = 1.0 - smoothstep(0.3, 0.75, length(haloCentre / size - 0.5));
    haloColor = ringColor * vec3(1.0, 0.85, 0.7) * 0.35 * centreFade;
}
