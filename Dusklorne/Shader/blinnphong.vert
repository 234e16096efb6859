#version 330 core

// Shared by the lit program and the sky: world-space position, surface frame and texture
// coordinate for the fragment stage, and what is the same for every fragment or varies
// smoothly over a triangle: the eye position and the shadow-map coordinate.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 3) in vec3 tangent;
layout(location = 4) in vec3 bitangent;

uniform mat4 model;
uniform mat4 view_proj;
uniform mat4 view;
uniform mat4 biasVP;
uniform vec3 mainLight;

out vec3 worldPos;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec2 texCoord;
out vec3 shadowCoord;
flat out vec3 eye;

void main() {
    vec4 world = model * vec4(position, 1.0);
    mat3 linear = mat3(model);
    // Normals take the inverse transpose (the ground is scaled unevenly); the cofactor matrix is
    // that times the determinant, which the fragment stage's normalisation removes.
    mat3 normalMatrix = mat3(cross(linear[1], linear[2]), cross(linear[2], linear[0]),
                             cross(linear[0], linear[1]));
    worldPos = world.xyz;
    worldNormal = normalMatrix * normal;
    worldTangent = linear * tangent;
    worldBitangent = linear * bitangent;
    texCoord = uv;
    // The view matrix is a rigid motion: its inverse is the transposed rotation.
    eye = -(transpose(mat3(view)) * view[3].xyz);

    // The shadow-map look-up point moves along the normal by about a shadow-map texel, more on
    // surfaces turned away from the light, which removes acne without detaching shadows from
    // their casters.
    vec3 n = normalize(worldNormal);
    float offset = 0.12 + 0.3 * (1.0 - abs(dot(n, normalize(mainLight))));
    shadowCoord = (biasVP * vec4(world.xyz + n * offset, 1.0)).xyz;
    shadowCoord.z -= 0.0004;
    gl_Position = view_proj * world;
}
