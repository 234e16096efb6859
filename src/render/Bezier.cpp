#include "render/Bezier.h"

#include <algorithm>
#include <array>

float clampPathParameter(float t) {
    if (t > 1.0f) {
        t = 1.0f;
    }
    if (t <= 0.0f) {
        t = 0.0f;
    }
    return t;
}

namespace {

glm::vec3 deCasteljau(glm::vec3* p, size_t n, float t) {
    for (size_t k = n - 1; k >= 1; --k) {
        for (size_t i = 0; i < k; ++i) {
            p[i] = p[i] + (p[i + 1] - p[i]) * t;
        }
    }
    return p[0];
}

}  // namespace

glm::vec3 bezierPoint(const std::vector<glm::vec3>& points, float t) {
    if (points.empty()) {
        return glm::vec3(0.0f);
    }
    std::array<glm::vec3, 64> buffer;
    if (points.size() <= buffer.size()) {
        std::copy(points.begin(), points.end(), buffer.begin());
        return deCasteljau(buffer.data(), points.size(), t);
    }
    // Longer lists than any path of the scene: a scratch list kept for later calls.
    static std::vector<glm::vec3> scratch;
    scratch.assign(points.begin(), points.end());
    return deCasteljau(scratch.data(), scratch.size(), t);
}
