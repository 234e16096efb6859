#version 330 core

// Shared by the lit program and the sky: world-space position, surface frame and texture
// coordinate for the fragment stage.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 3) in vec3 tangent;
layout(location = 4) in vec3 bitangent;

uniform mat4 model;
uniform mat4 view_proj;

out vec3 worldPos;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec2 texCoord;

void main() {
    vec4 world = model * vec4(position, 1.0);
    mat3 linear = mat3(model);
    // Normals take the inverse transpose: the ground is scaled unevenly.
    mat3 normalMatrix = transpose(inverse(linear));
    worldPos = world.xyz;
    worldNormal = normalMatrix * normal;
    worldTangent = linear * tangent;
    worldBitangent = linear * bitangent;
    texCoord = uv;
    gl_Position = view_proj * world;
}
