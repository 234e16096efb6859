#include "support/BuildPaths.h"
#include "support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace {

// The generator's usage, or one error line and code 2, and no asset written into the folder it
// runs in.
TEST(AssetGeneratorE2ETest, HelpAndBadCommandLinesWriteNoAssets) {
    for (auto [arguments, code, start] :
         {std::tuple{"--help", 0, "Writes every model and image of the Dusklorne scene into"},
          {"", 2, "dusk_assetgen: RUN_DIR is required"},
          {"one two", 2, "dusk_assetgen: The following argument was not expected: two"}}) {
        SCOPED_TRACE(arguments);
        const std::string dir = dusk::test::freshFolder("assetgen-command-line");
        const int status =
            std::system(("cd '" + dir + "' && " + dusk::test::built::assetgenBinary() + " " +
                         arguments + " >out.txt 2>&1 </dev/null")
                            .c_str());
        EXPECT_EQ(WEXITSTATUS(status), code);
        const std::string out = dusk::test::readFile(dir + "/out.txt");
        EXPECT_EQ(out.rfind(start, 0), 0u) << out;
        EXPECT_EQ(dusk::test::linesOf(out).size(), code ? 1u : 9u) << out;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "files";
    }
}

}  // namespace
