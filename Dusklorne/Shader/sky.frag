#version 330 core

// The sky box: its texture, fading into the fog colour toward the horizon and below it, where
// the fogged far ground meets it.

in vec3 worldPos;
in vec2 texCoord;

uniform sampler2D color_texture;
uniform mat4 view;
uniform vec3 fog_color;

out vec4 fragColor;

void main() {
    vec3 eye = -(transpose(mat3(view)) * view[3].xyz);
    vec3 direction = normalize(worldPos - eye);
    vec3 sky = texture(color_texture, texCoord).rgb;
    // Fully fog up to a little above the horizon, so that the fogged edge of the ground lies in
    // the fade wherever the camera flies.
    float clear = smoothstep(0.02, 0.3, direction.y);
    fragColor = vec4(mix(fog_color, sky, clear), 0.0);
}
