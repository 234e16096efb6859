#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

// The generator's command line, run in a folder of its own with standard input closed.
namespace {

TEST(AssetGeneratorE2ETest, HelpAndBadCommandLinesWriteNoAssets) {
    struct Case {
        const char* arguments;
        int exitCode;
        const char* outputStart;  // of standard output, or else of standard error
    };
    for (const Case& c : {Case{"--help", 0, "Writes every model and image"},
                          Case{"-h", 0, "Writes every model and image"},
                          Case{"", 2, "dusk_assetgen: RUN_DIR is required"},
                          Case{"one two", 2, "dusk_assetgen: The following argument was not"}}) {
        SCOPED_TRACE(c.arguments);
        const std::string dir = dusk::test::freshFolder("assetgen-command-line");
        const int status = std::system(("cd '" + dir + "' && exec " DUSK_ASSETGEN_BINARY " " +
                                        c.arguments + " >stdout.txt 2>stderr.txt </dev/null")
                                           .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.exitCode);
        const std::string out = dusk::test::readFile(dir + "/stdout.txt");
        const std::string err = dusk::test::readFile(dir + "/stderr.txt");
        const std::string& text = c.exitCode == 0 ? out : err;
        EXPECT_EQ(text.rfind(c.outputStart, 0), 0u) << text;
        if (c.exitCode == 0) {
            EXPECT_NE(out.find("Usage: dusk_assetgen [OPTIONS] RUN_DIR"), std::string::npos);
            EXPECT_EQ(err, "");
        } else {
            EXPECT_EQ(dusk::test::linesOf(err).size(), 1u) << err;
        }
        size_t entries = 0;  // the two output files, no asset folder
        for (auto it = std::filesystem::directory_iterator(dir); it != decltype(it)(); ++it) {
            ++entries;
        }
        EXPECT_EQ(entries, 2u);
    }
}

}  // namespace
