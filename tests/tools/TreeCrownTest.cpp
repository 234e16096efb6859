#include "support/BuildPaths.h"
#include "support/Mesh.h"

#include <Magick++.h>

// How the generated broadleaf's leaf cards are lit: its triangles textured with foliage (not
// opaque bark) in tree1.png, where they lie, where their corners' normals point and how bright
// the leaves of their sprite are.
namespace {

struct Card {
    glm::vec3 position, normal;
    float brightness;  // the mean colour of the leaves under the triangle's texture rectangle
};

std::vector<Card> leafTriangles() {
    Magick::Image atlas(dusk::test::built::runDir() + "/Model/Image/tree1.png");
    const int w = int(atlas.columns()), h = int(atlas.rows());
    std::vector<unsigned char> rgba(size_t(w) * h * 4);
    atlas.write(0, 0, w, h, "RGBA", Magick::CharPixel, rgba.data());
    std::vector<Card> cards;
    for (const auto& t : dusk::test::trianglesOf("Model/Object/tree1.obj")) {
        const glm::vec2 lo = glm::min(t[0].uv, glm::min(t[1].uv, t[2].uv)),
                        hi = glm::max(t[0].uv, glm::max(t[1].uv, t[2].uv));
        double alpha = 0.0, color = 0.0, texels = 0.0;
        for (int y = int(lo.y * h); y < int(hi.y * h); ++y) {
            for (int x = int(lo.x * w); x < int(hi.x * w); ++x) {
                const unsigned char* p = &rgba[(size_t(y) * w + x) * 4];
                alpha += p[3] / 255.0, color += p[3] / 255.0 * (p[0] + p[1] + p[2]) / 765.0;
                texels += 1.0;
            }
        }
        if (texels > 0.0 && alpha < 0.97 * texels) {
            cards.push_back({(t[0].position + t[1].position + t[2].position) / 3.0f,
                             glm::normalize(t[0].normal + t[1].normal + t[2].normal),
                             float(color / alpha)});
        }
    }
    return cards;
}

// The crown shades as one lumpy volume: the cards' normals lean toward the sun on its sunny
// side and down underneath, and the cards underneath show darker leaves.
TEST(TreeCrownTest, LeafCardsAreLitAsOneCrown) {
    const std::vector<Card> cards = leafTriangles();
    ASSERT_GT(cards.size(), 100u);
    glm::vec3 centre(0.0f);
    for (const Card& c : cards) {
        centre += c.position / float(cards.size());
    }
    const glm::vec3 sun = glm::normalize(glm::vec3(1.0f, 1.0f, 1.0f));
    // Means over the triangles on one side of the centre (more than 2 units out along `axis`):
    // how far their normals turn to `axis`, and their brightness.
    auto side = [&](const glm::vec3& axis, float sign) {
        glm::vec2 sum(0.0f);
        int count = 0;
        for (const Card& c : cards) {
            if (sign * glm::dot(c.position - centre, axis) > 2.0f) {
                sum += glm::vec2(glm::dot(c.normal, axis), c.brightness);
                ++count;
            }
        }
        return sum / float(std::max(count, 1));
    };
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    EXPECT_GT(side(sun, 1.0f).x - side(sun, -1.0f).x, 0.8f) << "toward the sun";
    EXPECT_GT(side(up, 1.0f).x, 0.3f) << "on top";
    EXPECT_LT(side(up, -1.0f).x, -0.3f) << "underneath";
    EXPECT_LT(side(up, -1.0f).y, 0.9f * side(up, 1.0f).y) << "darker leaves underneath";
}

}  // namespace
