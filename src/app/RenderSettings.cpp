#include "app/RenderSettings.h"

RenderSettings renderSettings;

GLint minificationFilter(int mipmapMode, bool bilinearFiltering) {
    switch (mipmapMode) {
    case 0:
        return bilinearFiltering ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case 1:
        return bilinearFiltering ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    case -1:
        return bilinearFiltering ? GL_LINEAR : GL_NEAREST;
    default:
        return 0;
    }
}
