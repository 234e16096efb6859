#pragma once

#include <vector>

namespace dusk::bench {

// Min, median, 95th percentile and max of one figure over many frames.
struct Summary {
    double min = 0.0;
    double median = 0.0;
    double p95 = 0.0;
    double max = 0.0;
    int count = 0;
};

// The median of an even count is the mean of the two middle values; the 95th percentile is the
// nearest-rank one (the smallest value that at least 95 % of the values do not exceed). An
// empty list gives all zeros.
Summary summarize(std::vector<double> values);

}  // namespace dusk::bench
