#version 330 core

// Particle sprites: soft where they meet the scene (camera depth on unit 1), faded out close to
// the eye, fogged like the scene. The alpha channel of the scene target marks lens-flare
// sources: only a flare-enabled particle may write alpha above 0.8 there.

in vec2 texCoord;
in vec3 worldPos;
in float particleSize;

uniform sampler2D myTextureSampler;
uniform sampler2D depthTexture;
uniform vec3 cameraPos;
uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform int disableSoftParticles;
uniform int allowLensFlare;

out vec4 fragColor;

// This program is not given "fog_color"; the scene's fog colour and curve are repeated here.
const vec3 fogColor = vec3(0.8, 0.8, 0.8);

float fogAmount(float distance) {
    float d = max(distance - 20.0, 0.0) / 130.0;
    return 1.0 - exp(-d * d);
}

void main() {
    vec4 sprite = texture(myTextureSampler, texCoord);
    vec3 forward = normalize(cross(CameraUp_worldspace, CameraRight_worldspace));
    float depth = dot(worldPos - cameraPos, forward);

    float alpha = sprite.a;
    if (disableSoftParticles == 0) {
        vec4 scene = texelFetch(depthTexture, ivec2(gl_FragCoord.xy), 0);
        // Texels the depth pass did not draw keep the clear value's alpha of 0.8.
        if (scene.a > 0.9) {
            float softness = 0.2 * particleSize;
            alpha *= clamp((scene.r - depth) / softness, 0.0, 1.0);
        }
    }
    // Billboards right in front of the eye would cover the screen with one flat sprite.
    alpha *= smoothstep(0.08 * particleSize, 0.45 * particleSize, depth);

    vec3 color = mix(sprite.rgb, fogColor, fogAmount(length(worldPos - cameraPos)));
    if (allowLensFlare == 0) {
        alpha = min(alpha, 0.8);
    }
    fragColor = vec4(color, alpha);
}
