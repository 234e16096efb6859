#pragma once

#include <string>

// Where this build put what the tests use, as absolute paths. They are written into one
// generated file of the build folder (tests/CMakeLists.txt) rather than onto the test files'
// compile lines, so that the compiler cache can serve the tests' objects to a clone in any
// folder. A path the build has no target for is empty.
namespace dusk::test::built {

std::string runDir();           // config.txt, the shaders, models and images
std::string sourceDir();        // the checkout
std::string testOutputDir();    // the tests' own files
std::string demoBinary();       // dusklorne
std::string faketimeLibrary();  // libfaketime, to speed up the demo's clock
std::string benchBinary();      // dusk_bench
std::string assetgenBinary();   // dusk_assetgen
std::string packageFile();      // the Debian package
std::string windowsZip();       // the Windows build's zip
std::string windowsBench();     // the Windows build's dusk_bench.exe
std::string wineRun();          // scripts/wine-run.sh

}  // namespace dusk::test::built
