#pragma once

#include "ImageBuffer.h"

namespace dusk::assetgen {

// Each surface comes as colour, normal map and specular map of one tiling pattern. The normal
// map carries the specular strength too, in its blue channel, so that the lit program reads
// one image for both (the blue of a unit normal follows from its red and green); the specular
// map keeps the same strength on its own.
struct SurfaceMaps {
    ImageBuffer color, normal, specular;
};

// Puts the specular strength into the normal map's blue (maps of one size).
void packSpecular(ImageBuffer& normal, const ImageBuffer& specular);

// Ashlar: courses of dressed stone blocks in running bond, eight courses per repeat, drawn at
// 1024 pixels a side and stored at half that.
SurfaceMaps makeStone();

// The dusk sky as six cube faces (layout in Props.h): deep blue overhead, warm light toward the
// sun in the direction (1, 1, 1), clouds lit from below, haze at the horizon.
ImageBuffer makeSky();
// The never-drawn ball's swirl.
ImageBuffer makeBallTexture(int size);
// Soft cloud puff with alpha fading to nothing at the rim.
ImageBuffer makeNebula(int size);
// A glow: opaque white-hot core (alpha 1, which makes it a lens-flare source), warm halo.
ImageBuffer makeGlow(int size);
// 8 x 8 explosion frames, played left to right, top to bottom. Cell 0 is a faint spark, shown
// before the first step and once more after the last.
ImageBuffer makeFireAtlas(int size);
// Flat tangent-space normal with the default specular strength packed in (as the surface
// maps), and that strength alone.
ImageBuffer makeFlatNormal(int size);
ImageBuffer makeDefaultSpecular(int size);

}  // namespace dusk::assetgen
