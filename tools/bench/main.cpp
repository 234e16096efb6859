#include "BenchOptions.h"
#include "FrameRun.h"
#include "PictureCompare.h"

#include <chrono>

// dusk_bench: pictures and timings of the Dusklorne scene at a fixed frame time.
int main(int argc, char** argv) {
    const auto programStart = std::chrono::steady_clock::now();
    dusk::bench::Options options;
    const int exitCode = dusk::bench::parseCommandLine(argc, argv, &options);
    return exitCode >= 0                  ? exitCode
           : options.command == "compare" ? dusk::bench::comparePictures(options)
                                          : dusk::bench::runCommand(options, programStart);
}
