#!/usr/bin/env bash
# Cross-builds Dusklorne for 64-bit Windows on Debian and makes the zip a player unpacks and
# starts: dist/dusklorne-VERSION-windows-x64.zip (or into the folder given). The libraries come
# from the dependency cache (scripts/build-windows-deps.sh, built on first use); the models and
# images from the asset generator built for this machine (build-windows/host). The cross build
# in build-windows/ also makes the Windows bench tool and the logic and gl test programs, which
# ctest runs through wine. A failure ends with one line naming what failed.
# Usage: scripts/build-windows.sh [OUTPUT_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=build-windows
fail() {
    echo "$name: FAILED: $*" >&2
    exit 1
}
dist=${1:-$root/dist}
build=$root/build-windows
started=$SECONDS

# The zip's folder first: a folder that cannot take it fails the run before anything is built.
probe=$dist/.$name-probe-$$
if ! mkdir -p "$dist" 2>/dev/null || ! touch "$probe" 2>/dev/null; then
    fail "cannot write the zip into $dist"
fi
rm -f "$probe"

"$root/scripts/install-windows-tools.sh" ||
    fail "installing the cross compiler and wine (scripts/install-windows-tools.sh)"
deps=$("$root/scripts/build-windows-deps.sh") || exit 1

# The generator runs here, on the build machine.
"$root/scripts/configure.sh" "$build/host" host ||
    fail "configuring the asset generator for this machine in $build/host"
cmake --build "$build/host" --target dusk_assetgen >/dev/null ||
    fail "building the asset generator for this machine in $build/host"

"$root/scripts/configure.sh" "$build" windows -DCMAKE_FIND_ROOT_PATH="$deps" \
    -DCMAKE_PREFIX_PATH="$deps" -DDUSK_HOST_ASSETGEN="$build/host/tools/assetgen/dusk_assetgen" ||
    fail "configuring the Windows build in $build"
cmake --build "$build" -j "$(nproc)" || fail "building for Windows in $build"

# cpack writes into a folder of its own; the zip is moved into place only when it is complete.
staging=$build/package-staging
rm -rf "$staging"
(cd "$build" && cpack -G ZIP -B "$staging" >/dev/null) || fail "packing the zip in $staging"
zip=$(ls "$staging"/*.zip)
cp "$zip" "$build/" || fail "copying the zip into $build"
cp "$zip" "$dist/.${zip##*/}.part" && mv "$dist/.${zip##*/}.part" "$dist/${zip##*/}" ||
    fail "cannot write the zip into $dist"
rm -rf "$staging"
echo "$name: $dist/${zip##*/} ($(du -k "$dist/${zip##*/}" | cut -f1) KiB) in $((SECONDS - started)) s"
