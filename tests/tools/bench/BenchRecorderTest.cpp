#include "BenchRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <vector>

namespace {

// The summary's frame row, min, median, 95th percentile and max, for frames of 1 to n ms in a
// mixed order. The 95th percentile is the smallest value that at least 95 % of the frames do
// not exceed: for n = 1, 19, 20, 31 that is 0.95, 18.05, 19, 29.45 frames, so the 1st, 19th,
// 19th and 30th value. Rounding down or to the nearest, interpolating, or taking the value after
// the rank gives another figure for at least one of them.
TEST(BenchRecorderTest, SummaryGivesTheNearestRankPercentile) {
    struct Case {
        int frames;
        double median;
        double p95;
    };
    for (auto [frames, median, p95] : {Case{1, 1, 1}, {19, 10, 19}, {20, 10.5, 19}, {31, 16, 30}}) {
        dusk::bench::BenchRecorder recorder(64, 48, 0.1, false, false);
        for (int i = 0; i < frames; ++i) {
            dusk::bench::FrameRecord record;
            record.frame = i + 1;
            record.whole = ((7 * i) % frames + 1) / 1000.0;  // 7 shares no factor with any n
            recorder.records.push_back(record);
        }
        std::ostringstream out;
        recorder.writeSummary(out, "none");
        const std::string summary = out.str();
        std::vector<double> row(4);
        ASSERT_EQ(std::sscanf(summary.c_str() + summary.find("\n  frame "),
                              " frame %lf %lf %lf %lf", &row[0], &row[1], &row[2], &row[3]),
                  4)
            << summary;
        EXPECT_EQ(row, (std::vector<double>{1, median, p95, double(frames)})) << summary;
    }
}

}  // namespace
