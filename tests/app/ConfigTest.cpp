#include "app/Config.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

dusk::WindowSize sizeFrom(const std::string& text) {
    std::istringstream config(text);
    return dusk::readWindowSize(config);
}

TEST(ConfigTest, OneLineAndTwoLinesReadTheSame) {
    dusk::WindowSize oneLine = sizeFrom("800 600");
    dusk::WindowSize twoLines = sizeFrom("800\n600\n");
    EXPECT_EQ(oneLine.width, 800);
    EXPECT_EQ(oneLine.height, 600);
    EXPECT_EQ(twoLines.width, oneLine.width);
    EXPECT_EQ(twoLines.height, oneLine.height);
    dusk::WindowSize tabs = sizeFrom("\t\n 1200\t\t900");
    EXPECT_EQ(tabs.width, 1200);
    EXPECT_EQ(tabs.height, 900);
}

TEST(ConfigTest, TokensReadLikeAtoi) {
    dusk::WindowSize suffixAndSign = sizeFrom("640px +480");
    EXPECT_EQ(suffixAndSign.width, 640);
    EXPECT_EQ(suffixAndSign.height, 480);

    // One token without a blank: the height token is never read.
    dusk::WindowSize glued = sizeFrom("1024x768");
    EXPECT_EQ(glued.width, 1024);
    EXPECT_EQ(glued.height, 0);

    dusk::WindowSize negative = sizeFrom("800 -5");
    EXPECT_EQ(negative.height, -5);

    dusk::WindowSize words = sizeFrom("wide tall");
    EXPECT_EQ(words.width, 0);
    EXPECT_EQ(words.height, 0);
}

TEST(ConfigTest, TextAfterTheSecondTokenIsIgnored) {
    dusk::WindowSize size = sizeFrom("800 600 1024 # a comment\n768\n");
    EXPECT_EQ(size.width, 800);
    EXPECT_EQ(size.height, 600);
}

TEST(ConfigTest, MissingFileOrTokensGiveZero) {
    std::istringstream failed;
    failed.setstate(std::ios::failbit);
    dusk::WindowSize none = dusk::readWindowSize(failed);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
    EXPECT_EQ(sizeFrom("").width, 0);
    EXPECT_EQ(sizeFrom("1200").height, 0);
}

TEST(ConfigTest, HugeNumbersSaturateInsteadOfOverflowing) {
    dusk::WindowSize size = sizeFrom("99999999999999999999 -99999999999999999999");
    EXPECT_EQ(size.width, INT_MAX);
    EXPECT_EQ(size.height, INT_MIN);
}

}  // namespace
