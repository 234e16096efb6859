#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

// A folder standing in for /usr/bin: every program but those whose names start with `hidden`,
// and the given scripts in place of some.
std::string binFolder(const std::string& name, const std::string& hidden,
                      const std::vector<std::pair<std::string, std::string>>& scripts) {
    const std::string folder = freshFolder(name) + "/bin";
    fs::create_directories(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator("/usr/bin")) {
        const std::string program = entry.path().filename().string();
        if (program.rfind(hidden, 0) != 0) {
            fs::create_symlink(entry.path(), folder + "/" + program);
        }
    }
    for (const auto& [program, text] : scripts) {
        writeFile(folder + "/" + program, "#!/bin/sh\n" + text + "\n");
        fs::permissions(folder + "/" + program, fs::perms::owner_all);
    }
    return folder;
}

// What a command printed on both outputs, and its exit code on the last line.
std::string run(const std::string& command) {
    return outputOf(command + " 2>&1 </dev/null; echo \"exit $?\"");
}

// A cross compiler that tells its version but fails at everything it is asked to build.
const char* const brokenCompilerScript =
    "[ \"$1\" = --version ] && echo broken 1 && exit 0; echo broken compiler >&2; exit 1";
const std::vector<std::pair<std::string, std::string>> brokenCompiler = {
    {"x86_64-w64-mingw32-gcc-posix", brokenCompilerScript},
    {"x86_64-w64-mingw32-g++-posix", brokenCompilerScript}};

// A missing cross compiler or wine, or a zip that cannot be written, ends the script with one line
// naming what failed and a non-zero exit code, before anything is built.
TEST(WindowsScriptsE2ETest, AMissingToolOrAnUnwritableZipIsOneLine) {
    const std::string scripts = dusk::test::built::sourceDir() + "/scripts/";
    const std::string notAFolder = freshFolder("windows-unwritable") + "/file";
    writeFile(notAFolder, "");
    using Case = std::pair<std::string, std::string>;  // the command, its output and exit code
    for (const auto& [command, output] : {
             Case{"PATH=" + binFolder("windows-no-mingw", "x86_64-w64-mingw32-", {}) + " " +
                      scripts + "build-windows-deps.sh",
                  "build-windows-deps: FAILED: no cross compiler x86_64-w64-mingw32-g++-posix "
                  "(Debian package g++-mingw-w64-x86-64-posix)\nexit 1\n"},
             Case{"PATH=" + binFolder("windows-no-wine", "wine", {}) + " " + scripts +
                      "wine-run.sh dusklorne.exe",
                  "wine-run: no wine on PATH (Debian package wine; "
                  "scripts/install-windows-tools.sh installs it)\nexit 127\n"},
             Case{scripts + "build-windows.sh " + notAFolder + "/dist",
                  "build-windows: FAILED: cannot write the zip into " + notAFolder +
                      "/dist\nexit 1\n"},
         }) {
        SCOPED_TRACE(command);
        EXPECT_EQ(run(command), output);
    }
}

// A dependency build that fails says which library failed and where its log is, and leaves no
// folder that a later run could take for a finished cache: the second run builds again (and
// fails again) instead of handing out the first run's half.
TEST(WindowsScriptsE2ETest, AFailedDependencyBuildLeavesNoCacheBehind) {
    const std::string cache = freshFolder("windows-cache");
    // The sources already fetched, so that nothing is downloaded again.
    fs::create_directory_symlink("/var/cache/dusklorne-mingw/sources", cache + "/sources");
    const std::string command =
        "DUSK_MINGW_CACHE=" + cache +
        " PATH=" + binFolder("windows-broken-mingw", "x86_64-w64-mingw32-g", brokenCompiler) + " " +
        dusk::test::built::sourceDir() + "/scripts/build-windows-deps.sh";
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        const std::vector<std::string> lines = linesOf(run(command));
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].rfind("build-windows-deps: zlib ", 0), 0u) << lines[0];
        EXPECT_NE(lines[1].find("build-windows-deps: FAILED: building zlib "), std::string::npos);
        EXPECT_NE(lines[1].find(" (log: " + cache + "/"), std::string::npos) << lines[1];
        EXPECT_EQ(lines[2], "exit 1");
        for (const fs::directory_entry& entry : fs::directory_iterator(cache)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "sources" || name == ".lock" ||
                        (entry.is_regular_file() && entry.path().extension() == ".log"))
                << name << " is left in the cache";
        }
    }
}

}  // namespace
