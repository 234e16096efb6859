#include "Generator.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    CLI::App app("Writes every model and image of the Dusklorne scene into RUN_DIR/Model/Object "
                 "and RUN_DIR/Model/Image: the same bytes on every run.",
                 "dusk_assetgen");
    std::string runDir;
    app.add_option("RUN_DIR", runDir, "the run directory (made if missing)")
        ->required()
        ->type_name("");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);  // --help
        }
        std::cerr << "dusk_assetgen: " << error.what() << " (see dusk_assetgen --help)"
                  << std::endl;
        return 2;
    }
    std::string error;
    if (!dusk::assetgen::generateAssets(runDir, &error)) {
        std::printf("dusk_assetgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
