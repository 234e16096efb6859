#include "Statistics.h"

#include <algorithm>

namespace dusk::bench {

Summary summarize(std::vector<double> values) {
    Summary summary;
    summary.count = static_cast<int>(values.size());
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    summary.min = values.front();
    summary.max = values.back();
    summary.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    // ceil(0.95 n) in integers: 0.95 has no exact double.
    size_t rank = (95 * n + 99) / 100;
    summary.p95 = values[std::max<size_t>(rank, 1) - 1];
    return summary;
}

}  // namespace dusk::bench
