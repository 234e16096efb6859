#version 330 core

// The sky box: its texture, fading into the fog colour toward the horizon and below it, where
// the fogged far ground meets it.

in vec3 worldPos;
in vec2 texCoord;
flat in vec3 eye;

uniform sampler2D color_texture;
uniform vec3 fog_color;

out vec4 fragColor;

void main() {
    vec3 sky = texture(color_texture, texCoord).rgb;
    // Fully fog up to a little above the horizon, so that the fogged edge of the ground lies in
    // the fade wherever the camera flies.
    vec3 toSky = worldPos - eye;
    float clear = smoothstep(0.02, 0.3, toSky.y * inversesqrt(dot(toSky, toSky)));
    fragColor = vec4(mix(fog_color, sky, clear), 0.0);
}
