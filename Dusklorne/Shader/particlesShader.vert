#version 330 core

// Camera-facing billboards: a unit corner offset, the instance's centre and size.

layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec2 uv;

uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 VP;

out vec2 texCoord;
out vec3 worldPos;
out float particleSize;

void main() {
    float size = centreAndSize.w;
    worldPos = centreAndSize.xyz + CameraRight_worldspace * corner.x * size +
               CameraUp_worldspace * corner.y * size;
    texCoord = uv;
    particleSize = size;
    gl_Position = VP * vec4(worldPos, 1.0);
}
