#!/usr/bin/env bash
# Configures a build folder for one use with every option that use needs, whatever configured
# the folder before: a CMake cache keeps each option that is not given again.
# Usage: scripts/configure.sh BUILD_DIR release|sanitize|demo|host|windows [CMAKE OPTIONS...]
#   release   every test program, release build (the test command's first build)
#   sanitize  the logic, gl and smoke programs under AddressSanitizer and UBSan
#   demo      the demo's and the tools' release build; leaves the choice of test programs as it is
#   host      release build without tests: the asset generator of a cross build
#   windows   the MinGW-w64 cross build with the logic and gl programs (scripts/build-windows.sh
#             gives the dependency cache and the host's generator as further options)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case ${2:-} in
release) options=(-DCMAKE_BUILD_TYPE=Release -DDUSK_SANITIZE=OFF -DDUSK_BUILD_TESTS=ON
                  "-DDUSK_TEST_PROGRAMS=logic;gl;e2e;smoke;tools;image;package;windows") ;;
sanitize) options=(-DCMAKE_BUILD_TYPE=Debug -DDUSK_SANITIZE=ON -DDUSK_BUILD_TESTS=ON
                   "-DDUSK_TEST_PROGRAMS=logic;gl;smoke") ;;
demo) options=(-DCMAKE_BUILD_TYPE=Release -DDUSK_SANITIZE=OFF) ;;
host) options=(-DCMAKE_BUILD_TYPE=Release -DDUSK_SANITIZE=OFF -DDUSK_BUILD_TESTS=OFF) ;;
windows) options=(-DCMAKE_BUILD_TYPE=Release -DDUSK_SANITIZE=OFF -DDUSK_BUILD_TESTS=ON
                  "-DDUSK_TEST_PROGRAMS=logic;gl"
                  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
*)
    echo "usage: scripts/configure.sh BUILD_DIR release|sanitize|demo|host|windows [CMAKE OPTIONS...]" >&2
    exit 2
    ;;
esac
# ccache keeps compiled objects outside the clone (~/.cache/ccache); paths under the clone count
# as relative, and the folder a debug build compiles in is left out of the key, so that another
# clone of the same sources finds them.
if command -v ccache >/dev/null; then
    launcher="env;CCACHE_BASEDIR=$root;CCACHE_NOHASHDIR=1;ccache"
    options+=("-DCMAKE_C_COMPILER_LAUNCHER=$launcher" "-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher")
fi
cmake -S "$root" -B "$1" -G Ninja "${options[@]}" "${@:3}" >/dev/null
