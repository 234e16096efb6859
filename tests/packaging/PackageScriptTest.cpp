#include "support/BuildPaths.h"
#include "support/Package.h"

#include <gtest/gtest.h>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

// The package command copies the build's package into the folder given, or fails with one line
// naming what failed, before building anything when the folder cannot be written.
TEST(PackageScriptTest, CopiesThePackageOrNamesWhatFailedInOneLine) {
    const std::string folder = freshFolder("package-script");
    const std::string build = fs::path(dusk::test::built::runDir()).parent_path();
    const std::string deb = fs::path(dusk::test::built::packageFile()).filename();
    writeFile(folder + "/a-file", "");
    struct Case {
        std::string out;
        std::string build;
        std::string line;  // its start
        int exitCode;
    };
    for (const Case& c : {
             Case{folder + "/dist", build, "package-linux: " + folder + "/dist/" + deb + " (", 0},
             Case{folder + "/a-file/dist", build,
                  "package-linux: FAILED: cannot write the package into " + folder +
                      "/a-file/dist (log: " + folder + "/",
                  1},
             Case{folder + "/dist2", folder + "/a-file/build",
                  "package-linux: FAILED: configuring " + folder + "/a-file/build (log: " + folder +
                      "/",
                  1},
         }) {
        SCOPED_TRACE(c.out + " from " + c.build);
        const CommandResult result =
            runCommand("TMPDIR='" + folder + "' " + dusk::test::built::sourceDir() +
                       "/scripts/package-linux.sh '" + c.out + "' '" + c.build + "' </dev/null");
        ASSERT_EQ(result.lines.size(), 1u) << testing::PrintToString(result.lines);
        EXPECT_EQ(result.lines[0].substr(0, c.line.size()), c.line);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(fs::exists(c.out + "/" + deb) &&
                      readFile(c.out + "/" + deb) == readFile(dusk::test::built::packageFile()),
                  c.exitCode == 0);
        EXPECT_FALSE(fs::exists(c.out + "/." + deb + ".part"));
    }
}

}  // namespace
