#version 330 core

// Blinn-Phong with the sun ("mainLight", toward the light) and the glowing ball's point light,
// tangent-space normal maps, specular maps, filtered shadow-map lookups and distance fog.

in vec3 worldPos;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec2 texCoord;

uniform sampler2D color_texture;
uniform sampler2D normal_texture;
uniform sampler2D specular_texture;
uniform sampler2DShadow shadowMap;

uniform mat4 view;
uniform mat4 biasVP;
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

vec3 eyePosition() {
    // The view matrix is a rigid motion: its inverse is the transposed rotation.
    return -(transpose(mat3(view)) * view[3].xyz);
}

// 1 lit, 0 in shadow. The look-up point moves along the surface normal by about a shadow-map
// texel, more on surfaces turned away from the light, which removes acne without detaching
// shadows from their casters.
float sunVisibility(vec3 geometricNormal, float cosLight) {
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float offset = 0.12 + 0.3 * (1.0 - cosLight);
    vec4 coord = biasVP * vec4(worldPos + geometricNormal * offset, 1.0);
    vec3 p = coord.xyz / coord.w;
    if (p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0) {
        return 1.0;
    }
    p.z -= 0.0004;
    // Four bilinear comparisons on a rotated grid: sixteen texels, softly filtered.
    float sum = texture(shadowMap, vec3(p.xy + vec2(-0.6, -1.4) * texel, p.z));
    sum += texture(shadowMap, vec3(p.xy + vec2(1.4, -0.6) * texel, p.z));
    sum += texture(shadowMap, vec3(p.xy + vec2(0.6, 1.4) * texel, p.z));
    sum += texture(shadowMap, vec3(p.xy + vec2(-1.4, 0.6) * texel, p.z));
    return sum * 0.25;
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
    if (disableNormalMapping == 0) {
        // The tangent follows u (the image's right); the bitangent follows the texture's t,
        // which runs down the image, while the map's green points up it.
        vec3 t = worldTangent - geometric * dot(geometric, worldTangent);
        vec3 b = worldBitangent - geometric * dot(geometric, worldBitangent);
        float lt = dot(t, t), lb = dot(b, b);
        // Degenerate texture coordinates give no usable frame: keep the plain normal.
        if (lt > 1e-12 && lb > 1e-12 && !isnan(lt) && !isnan(lb) && !isinf(lt) && !isinf(lb)) {
            vec3 m = texture(normal_texture, texCoord).xyz * 2.0 - 1.0;
            vec3 mapped = m.x * (t * inversesqrt(lt)) - m.y * (b * inversesqrt(lb)) + m.z * geometric;
            if (dot(mapped, mapped) > 1e-8) {
                n = normalize(mapped);
            }
        }
    }

    float specularStrength = plainSpecular;
    if (disableSpecularMapping == 0) {
        specularStrength = texture(specular_texture, texCoord).r;
    }
    float shininess = mix(12.0, 80.0, clamp(specularStrength * 2.0, 0.0, 1.0));

    vec3 eye = eyePosition();
    vec3 toEye = eye - worldPos;
    float eyeDistance = length(toEye);
    vec3 v = toEye / max(eyeDistance, 1e-4);

    vec3 base = albedo.rgb;
    // Hemisphere ambient: sky from above, warm bounce from below.
    vec3 color = base * mix(groundAmbient, skyAmbient, n.y * 0.5 + 0.5);

    vec3 l = normalize(mainLight);
    float cosGeometric = dot(geometric, l);
    float visibility;
    float diffuse;
    if (foliage) {
        // Cards are lit as one crown volume; both faces receive light.
        diffuse = 0.35 + 0.65 * max(dot(n, l), 0.0);
        visibility = sunVisibility(geometric, abs(cosGeometric));
    } else {
        diffuse = max(dot(n, l), 0.0);
        // A surface turned from the sun is in its own shadow whatever the map says.
        float facing = smoothstep(0.0, 0.08, cosGeometric);
        visibility = facing > 0.0 ? facing * sunVisibility(geometric, cosGeometric) : 0.0;
    }
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
