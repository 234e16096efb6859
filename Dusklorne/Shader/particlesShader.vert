#version 330 core

// Camera-facing billboards: a unit corner offset, the instance's centre and size. Everything
// that is the same over a sprite is worked out here, once per corner: how far in front of the
// eye it stands (the billboard faces the camera, so every fragment shares it), its fade near the
// eye, its fog and the softness of its edges. A sprite that the near-eye fade hides entirely is
// moved out of view, so that it costs no fragments at all.

layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec2 uv;

uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 VP;
uniform vec3 cameraPos;

out vec2 texCoord;
out float fog;
flat out float spriteDepth;
flat out float softScale;  // 1 / the depth over which the sprite fades into the scene
flat out float nearFade;

// This program is not given "fog_color"; the scene's fog curve is repeated here.
float fogAmount(float distance) {
    float d = max(distance - 20.0, 0.0) / 130.0;
    return 1.0 - exp(-d * d);
}

void main() {
    float size = centreAndSize.w;
    vec3 centre = centreAndSize.xyz;
    vec3 worldPos = centre + CameraRight_worldspace * corner.x * size +
                    CameraUp_worldspace * corner.y * size;
    vec3 forward = normalize(cross(CameraUp_worldspace, CameraRight_worldspace));
    spriteDepth = dot(centre - cameraPos, forward);
    softScale = 1.0 / (0.2 * size);
    // Billboards right in front of the eye would cover the screen with one flat sprite.
    nearFade = smoothstep(0.08 * size, 0.45 * size, spriteDepth);
    fog = fogAmount(length(worldPos - cameraPos));
    texCoord = uv;
    gl_Position = VP * vec4(worldPos, 1.0);

    if (nearFade <= 0.0) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
    }
}
