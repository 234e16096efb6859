#include "AllocationCounter.h"
#include "BenchOptions.h"
#include "FrameRun.h"

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

// dusk_bench: pictures and timings of the Dusklorne scene at a fixed frame time.
int main(int argc, char** argv) {
    const auto programStart = std::chrono::steady_clock::now();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    dusk::bench::Options options;
    std::string error;
    if (!dusk::bench::parseOptions(arguments, &options, &error)) {
        std::cerr << "dusk_bench: " << error << "\n\n" << dusk::bench::usageText();
        return 2;
    }
    if (options.command == "help") {
        std::cout << dusk::bench::usageText();
        return 0;
    }
    return dusk::bench::runCommand(options, programStart, &dusk::bench::allocationCount);
}
