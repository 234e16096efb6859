#!/usr/bin/env bash
# Makes the Debian package dist/dusklorne_VERSION_ARCH.deb from the release build in build/
# (shared with the demo and test commands, so a built tree only adds the packaging). A failure
# gives one line naming what failed, with the log of the step, and exit code 1.
# Usage: scripts/package-linux.sh [OUT_DIR (default: dist)] [BUILD_DIR (default: build)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/dist}
build=${2:-$root/build}
log=$(mktemp -t dusklorne-package.XXXXXX)

fail() {
    echo "package-linux: FAILED: $1 (log: $log)"
    exit 1
}

# Before anything is built: a package that cannot be written is not worth building.
mkdir -p -- "$out" 2>>"$log" && [[ -w "$out" ]] || fail "cannot write the package into $out"
"$root/scripts/install-deps.sh" >>"$log" 2>&1 || fail "installing the build dependencies"
"$root/scripts/configure.sh" "$build" demo >>"$log" 2>&1 || fail "configuring $build"
cmake --build "$build" --target dusk_deb >>"$log" 2>&1 || fail "building the package in $build"
deb=$(sed -n 's/^DUSK_DEB_FILE:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
[[ -f "$deb" ]] || fail "the build made no package in $build/package"

# Copied under a temporary name and renamed, so the folder never holds half a package.
target=$out/$(basename "$deb")
cp -- "$deb" "$out/.$(basename "$deb").part" 2>>"$log" &&
    mv -f -- "$out/.$(basename "$deb").part" "$target" 2>>"$log" || fail "cannot write $target"
rm -f -- "$log"
echo "package-linux: $target ($(du -k "$target" | cut -f1) KiB)"
