#include "Generator.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: dusk_assetgen <runDir>\n");
        return 2;
    }
    std::string error;
    if (!dusk::assetgen::generateAssets(argv[1], &error)) {
        std::printf("dusk_assetgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
