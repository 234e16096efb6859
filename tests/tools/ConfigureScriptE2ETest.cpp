#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using dusk::test::outputOf;

// The test programs a build folder would make, a line each.
std::string testPrograms(const std::string& build) {
    return outputOf("ninja -C '" + build +
                    "' -t targets all | grep -o '^tests/dusk_[a-z0-9_]*_tests:'");
}

// The test command's configure gives a folder that an older cache with the tests off and then the
// demo command configured every test program a clean folder gets.
TEST(ConfigureScriptE2ETest, TheTestCommandBuildsEveryTestWhateverConfiguredBefore) {
    const std::string script = dusk::test::built::sourceDir() + "/scripts/configure.sh '";
    const std::string clean = dusk::test::freshFolder("configure-clean");
    const std::string reused = dusk::test::freshFolder("configure-reused");
    outputOf("cmake -S " + dusk::test::built::sourceDir() + " -B '" + reused +
             "' -G Ninja -DDUSK_BUILD_TESTS=OFF -DDUSK_TEST_PROGRAMS=logic >/dev/null");
    outputOf(script + reused + "' demo");
    EXPECT_EQ(testPrograms(reused), "");  // the demo command leaves the setting alone
    outputOf(script + reused + "' release && " + script + clean + "' release");
    EXPECT_EQ(dusk::test::linesOf(testPrograms(clean)).size(), 11u);
    EXPECT_EQ(testPrograms(reused), testPrograms(clean));
}

}  // namespace
