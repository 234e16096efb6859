#version 330 core

// Blinn-Phong with the sun ("mainLight", toward the light) and the glowing ball's point light,
// tangent-space normal maps, specular maps, a filtered shadow-map look-up and distance fog.
// Filtered texture reads are most of the cost on a software renderer: the normal map carries
// the specular strength in its blue channel (the blue of a unit normal follows from red and
// green), so one read serves both maps.

in vec3 worldPos;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec2 texCoord;
in vec3 shadowCoord;
flat in vec3 eye;

uniform sampler2D color_texture;
uniform sampler2D normal_texture;
uniform sampler2DShadow shadowMap;

uniform vec3 mainLight;
uniform vec3 pLightPos;
uniform int pLightCount;
uniform vec3 fog_color;
uniform int disableNormalMapping;
uniform int disableSpecularMapping;

out vec4 fragColor;

const vec3 sunColor = vec3(1.05, 0.82, 0.62);
const vec3 skyAmbient = vec3(0.36, 0.35, 0.48);
const vec3 groundAmbient = vec3(0.20, 0.17, 0.15);
const vec3 ballColor = vec3(1.0, 0.78, 0.45);
const float ballIntensity = 3.0;
// Used when the specular map is switched off.
const float plainSpecular = 0.25;

// Fog grows with the square of the distance past a clear zone around the eye.
float fogAmount(float distance) {
    float d = max(distance - 20.0, 0.0) / 130.0;
    return 1.0 - exp(-d * d);
}

// The playing area ends at +-175: its rim dissolves into the fog, so the ground's edge never
// shows against the horizon haze of the sky, from wherever it is seen.
float edgeFog(vec3 p) {
    return smoothstep(100.0, 172.0, max(abs(p.x), abs(p.z)));
}

// 1 lit, 0 in shadow: one comparison look-up, which the hardware filters over four texels.
float sunVisibility() {
    vec3 p = shadowCoord;
    float lit = texture(shadowMap, p);
    bool outside = p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0;
    return outside ? 1.0 : lit;
}

void main() {
    vec4 albedo = texture(color_texture, texCoord);
    if (albedo.a < 0.5) {
        discard;
    }
    // Foliage is stored with alpha 0.9: light passes through leaves.
    bool foliage = albedo.a < 0.97;

    vec3 geometric = normalize(worldNormal);
    vec3 n = geometric;
    vec3 material = texture(normal_texture, texCoord).xyz;
    if (disableNormalMapping == 0) {
        // The tangent follows u (the image's right); the bitangent follows the texture's t,
        // which runs down the image, while the map's green points up it.
        vec2 m = material.xy * 2.0 - 1.0;
        float mz = sqrt(max(1.0 - dot(m, m), 0.0));
        n = normalize(m.x * normalize(worldTangent) - m.y * normalize(worldBitangent) +
                      mz * geometric);
    }

    float specularStrength = plainSpecular;
    if (disableSpecularMapping == 0) {
        specularStrength = material.z;
    }
    float shininess = mix(12.0, 80.0, clamp(specularStrength * 2.0, 0.0, 1.0));

    vec3 toEye = eye - worldPos;
    float eyeDistance = length(toEye);
    vec3 v = toEye / max(eyeDistance, 1e-4);

    vec3 base = albedo.rgb;
    // Hemisphere ambient: sky from above, warm bounce from below.
    vec3 color = base * mix(groundAmbient, skyAmbient, n.y * 0.5 + 0.5);

    vec3 l = normalize(mainLight);
    float cosGeometric = dot(geometric, l);
    float diffuse = max(dot(n, l), 0.0);
    // A surface turned from the sun is in its own shadow whatever the map says; foliage cards
    // are lit as one crown volume from both faces.
    float visibility = sunVisibility() * (foliage ? 1.0 : smoothstep(0.0, 0.08, cosGeometric));
    diffuse = foliage ? 0.35 + 0.65 * diffuse : diffuse;
    vec3 h = normalize(l + v);
    float specular = pow(max(dot(n, h), 0.0), shininess) * specularStrength * (diffuse > 0.0 ? 1.0 : 0.0);
    color += (base * diffuse + vec3(specular)) * sunColor * visibility;

    if (pLightCount > 0) {
        vec3 toLight = pLightPos - worldPos;
        float d = length(toLight);
        vec3 pl = toLight / max(d, 1e-4);
        float attenuation = ballIntensity / (1.0 + 0.12 * d + 0.045 * d * d);
        float pd = max(dot(n, pl), 0.0);
        if (foliage) {
            pd = 0.35 + 0.65 * pd;
        }
        vec3 ph = normalize(pl + v);
        float ps = pow(max(dot(n, ph), 0.0), shininess) * specularStrength * (pd > 0.0 ? 1.0 : 0.0);
        color += (base * pd + vec3(ps)) * ballColor * attenuation;
    }

    color = mix(color, fog_color, max(fogAmount(eyeDistance), edgeFog(worldPos)));
    // Alpha 0: lit surfaces are no lens-flare source.
    fragColor = vec4(color, 0.0);
}
