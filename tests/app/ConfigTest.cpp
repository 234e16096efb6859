#include "app/Config.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <tuple>

namespace {

TEST(ConfigTest, TwoTokensReadLikeAtoi) {
    // One token has no height; numbers beyond int saturate, never undefined.
    for (auto [text, width, height] : {std::tuple{"800 600", 800, 600},
                                       {"\t\n 800\n\n600\n", 800, 600},
                                       {"640px +480 1024 768 # comment", 640, 480},
                                       {"1024x768", 1024, 0},
                                       {"800 -5", 800, -5},
                                       {"wide tall", 0, 0},
                                       {"", 0, 0},
                                       {"99999999999 -99999999999", INT_MAX, INT_MIN}}) {
        std::istringstream config(text);
        dusk::WindowSize size = dusk::readWindowSize(config);
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(width, height)) << text;
    }
}

}  // namespace
