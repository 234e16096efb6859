#pragma once

#include <glm/glm.hpp>

#include <vector>

// Values above 1 become 1, then values not above 0 become 0.
float clampPathParameter(float t);

// The point at t of the Bezier curve with all the points as control points (de Casteljau).
// Works on a fixed buffer: no allocation per call. An empty list gives the origin.
glm::vec3 bezierPoint(const std::vector<glm::vec3>& points, float t);
