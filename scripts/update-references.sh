#!/usr/bin/env bash
# Regenerates the reference pictures of the image regression test after an intended change of
# the look: builds the release build, captures the test's moments with dusk_bench on a virtual
# display (Mesa's llvmpipe) and writes them to tests/tools/bench/reference/. Look at them, then
# commit them with the change that made them.
# Usage: scripts/update-references.sh [build folder, default build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${1:-$root/build}

# Tests on, whatever configured the build folder before (the demo command, an older cache).
"$root/scripts/configure.sh" "$build" release
cmake --build "$build" -j "$(nproc)" --target dusk_image_tests

# Xvfb picks a free display number itself and writes it to the given descriptor.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$display_file")
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe

# The test itself captures the pictures; told so, it writes them as the new references.
DUSK_UPDATE_REFERENCES=1 ctest --test-dir "$build" -R '^ImageRegressionE2ETest\.' \
    --output-on-failure --no-tests=error
echo "References written to $root/tests/tools/bench/reference/:"
git -C "$root" status --short -- tests/tools/bench/reference
