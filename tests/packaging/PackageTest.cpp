#include "support/BuildPaths.h"
#include "support/Package.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

// The package of every library the program names as needed, from dpkg's own file lists (the
// machine's own architecture: libc6-i386 holds a libc.so.6 too), one line of dpkg -S each.
std::vector<std::string> packagesOfLinkedLibraries(const std::string& program) {
    std::string patterns;
    for (const std::string& library :
         linesOf(outputOf("objdump -p '" + program + "' | awk '$1 == \"NEEDED\" { print $2 }'"))) {
        patterns += " \"*/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/" + library + "\"";
    }
    std::vector<std::string> packages;
    for (const std::string& line : linesOf(outputOf("dpkg -S" + patterns + " 2>&1"))) {
        packages.push_back(line.substr(0, line.find(':')));
    }
    return packages;
}

// The package names in a Depends field, without versions, alternatives counted each.
std::set<std::string> dependencyNames(const std::string& field) {
    std::set<std::string> names;
    const std::regex name("(?:^|[,|])\\s*([^\\s,|(]+)");
    for (std::sregex_iterator it(field.begin(), field.end(), name), end; it != end; ++it) {
        names.insert((*it)[1]);
    }
    return names;
}

TEST(PackageTest, DependsOnThePackagesOfTheLibrariesItsProgramLinksAndOnNoDevPackage) {
    const std::string root = unpackedPackage("package-depends");
    const std::vector<std::string> linked =
        packagesOfLinkedLibraries(root + "/usr/lib/games/dusklorne/dusklorne-demo");
    ASSERT_GE(linked.size(), 5u);
    const std::set<std::string> depends =
        dependencyNames(outputOf("dpkg-deb -f '" + dusk::test::built::packageFile() + "' Depends"));
    for (const std::string& package : linked) {
        EXPECT_EQ(depends.count(package), 1u) << package;
    }
    for (const std::string& package : depends) {
        EXPECT_EQ(package.find("-dev"), std::string::npos) << package;
    }
}

// Every shader, model and image the build's run directory reads is in the package, byte for
// byte, and the launcher is the only file named `dusklorne`, so no other one can be on the PATH.
TEST(PackageTest, HoldsTheBuildsDataAndOneLauncher) {
    const std::string root = unpackedPackage("package-files");
    const std::string data = root + "/usr/share/games/dusklorne/";
    size_t files = 0;
    for (const char* folder : {"Dusklorne/Shader", "Model/Object", "Model/Image"}) {
        for (const fs::directory_entry& entry :
             fs::directory_iterator(dusk::test::built::runDir() + "/" + folder)) {
            const std::string name = std::string(folder) + "/" + entry.path().filename().string();
            EXPECT_TRUE(readFile(data + name) == readFile(entry.path())) << name;
            ++files;
        }
    }
    EXPECT_GE(files, 30u);

    std::vector<std::string> launchers;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().filename() == "dusklorne" && !entry.is_directory()) {
            launchers.push_back(entry.path().lexically_relative(root));
        }
    }
    EXPECT_EQ(launchers, std::vector<std::string>{"usr/games/dusklorne"});
    EXPECT_EQ(readFile(root + "/usr/games/dusklorne").rfind("#!/bin/sh\n", 0), 0u);
}

TEST(PackageTest, LintianReportsNoErrorAndNoWarning) {
    const CommandResult lintian = runCommand("lintian '" + dusk::test::built::packageFile() + "'");
    EXPECT_EQ(lintian.exitCode, 0);
    for (const std::string& line : lintian.lines) {
        EXPECT_FALSE(line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) << line;
    }
}

}  // namespace
