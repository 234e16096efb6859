#version 330 core

// Particle sprites: soft where they meet the scene (camera depth on unit 1), faded out close to
// the eye, fogged like the scene. The alpha channel of the scene target marks lens-flare
// sources: only a flare-enabled particle may write alpha above 0.8 there. What is the same over
// a sprite comes from the vertex stage.

in vec2 texCoord;
in float fog;
flat in float spriteDepth;
flat in float softScale;
flat in float nearFade;

uniform sampler2D myTextureSampler;
uniform sampler2D depthTexture;
uniform int disableSoftParticles;
uniform int allowLensFlare;

out vec4 fragColor;

// This program is not given "fog_color"; the scene's fog colour is repeated here.
const vec3 fogColor = vec3(0.8, 0.8, 0.8);

void main() {
    // The sprite's texel from the mipmap level whose texels come nearest to a pixel (the rounded
    // base-2 logarithm of the texels a pixel spans, from the float's exponent), unfiltered: an
    // unfiltered read costs a fraction of a filtered one, and the sprites are soft enough, their
    // images large enough for the sizes they are seen at, that it does not show.
    vec2 texels = texCoord * vec2(textureSize(myTextureSampler, 0));
    vec4 d = abs(vec4(dFdx(texels), dFdy(texels)));
    int level = max((floatBitsToInt(1.41421 * max(max(d.x, d.y), max(d.z, d.w))) >> 23) - 127, 0);
    ivec2 size = textureSize(myTextureSampler, level);
    vec4 sprite = texelFetch(myTextureSampler, clamp(ivec2(texCoord * vec2(size)), ivec2(0), size - 1), level);
    vec4 scene = texelFetch(depthTexture, ivec2(gl_FragCoord.xy), 0);
    // Texels the depth pass did not draw keep the clear value's alpha of 0.8.
    float soft = clamp((scene.r - spriteDepth) * softScale, 0.0, 1.0);
    if (disableSoftParticles != 0 || scene.a < 0.9) {
        soft = 1.0;
    }
    float alpha = min(sprite.a * nearFade * soft, allowLensFlare == 0 ? 0.8 : 1.0);
    fragColor = vec4(mix(sprite.rgb, fogColor, fog), alpha);
}
