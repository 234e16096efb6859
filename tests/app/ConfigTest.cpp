#include "app/Config.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <tuple>

namespace {

TEST(ConfigTest, TwoTokensReadLikeAtoi) {
    // One token has no height; numbers are decimal whatever they start with; numbers beyond
    // int saturate, never undefined; a Windows editor's byte-order mark and CR LF change nothing.
    for (auto [text, width, height] : {std::tuple{"800 600", 800, 600},
                                       {"\t\n 800\n\n600\n", 800, 600},
                                       {"640px +480 1024 768 # comment", 640, 480},
                                       {"1024x768", 1024, 0},
                                       {"800 -5", 800, -5},
                                       {"-0800 +-5", -800, 0},
                                       {"0800 0600", 800, 600},
                                       {"0x300 0x200", 0, 0},
                                       {"wide tall", 0, 0},
                                       {"", 0, 0},
                                       {"99999999999 -99999999999", INT_MAX, INT_MIN},
                                       // \357\273\277: the UTF-8 byte-order mark
                                       {"\357\273\2771200\r\n900\r\n", 1200, 900},
                                       {"\357\273\277\r\n 800 \r\n600", 800, 600}}) {
        std::istringstream config(text);
        dusk::WindowSize size = dusk::readWindowSize(config);
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(width, height)) << text;
    }
}

}  // namespace
