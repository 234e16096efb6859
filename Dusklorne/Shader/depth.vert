#version 330 core

// Camera depth for the soft particles: linear eye-space depth.

layout(location = 0) in vec3 position;
layout(location = 2) in vec2 uv;

uniform mat4 model;
uniform mat4 view;
uniform mat4 depth_view_proj;

out vec2 texCoord;
out float eyeDepth;

void main() {
    vec4 world = model * vec4(position, 1.0);
    texCoord = uv;
    // The camera looks down its -z axis.
    eyeDepth = -(view * world).z;
    gl_Position = depth_view_proj * world;
}
