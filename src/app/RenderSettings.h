#pragma once

#include "render/GL.h"

// Process-wide switches of the debug keys, read by the frame loop and the frame passes.
struct RenderSettings {
    bool showFrametime = false;      // F2: frame-rate line at every key poll
    bool wireframe = false;          // F3: polygon outlines in every pass but the final one
    bool bilinearFiltering = false;  // F4: linear minification of the scene texture
    int mipmapMode = -1;             // F5: -1 off, 0 nearest mipmap, 1 linear mipmap
};

extern RenderSettings renderSettings;

// The scene texture's minification filter for the two filter settings; 0 for a mode outside
// -1, 0 and 1, which leaves the filter as it is.
GLint minificationFilter(int mipmapMode, bool bilinearFiltering);
