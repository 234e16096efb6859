#include "app/Config.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

TEST(ConfigTest, TwoTokensReadLikeAtoi) {
    struct Case {
        const char* text;
        int width, height;
    };
    for (const Case& c : {
             Case{"800 600", 800, 600}, Case{"\t\n 800\n\n600\n", 800, 600},
             Case{"640px +480 1024 768 # comment", 640, 480},
             Case{"1024x768", 1024, 0},  // one token: no height
             Case{"800 -5", 800, -5}, Case{"wide tall", 0, 0}, Case{"", 0, 0},
             Case{"99999999999 -99999999999", INT_MAX, INT_MIN},  // saturated, never undefined
         }) {
        std::istringstream config(c.text);
        dusk::WindowSize size = dusk::readWindowSize(config);
        EXPECT_EQ(size.width, c.width) << c.text;
        EXPECT_EQ(size.height, c.height) << c.text;
    }
}

}  // namespace
