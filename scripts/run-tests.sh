#!/usr/bin/env bash
# Builds Dusklorne and runs every test headless: the release build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer. Starts its own virtual display.
# Usage: scripts/run-tests.sh [ctest label: logic | gl | e2e | image]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
label=${1:-}
jobs=$(nproc)

display=:$((60 + RANDOM % 30))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe

run_suite() {
    local build=$1
    shift
    cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
    cmake --build "$build" -j "$jobs"
    local args=(--test-dir "$build" --output-on-failure -j "$jobs")
    [[ -n "$label" ]] && args+=(-L "^${label}\$")
    ctest "${args[@]}"
}

echo "== release build"
run_suite "$root/build" -DCMAKE_BUILD_TYPE=Release
echo "== sanitizer build (address, undefined)"
# The program keeps its scene alive until exit by design, so leak reports say nothing.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DDUSK_SANITIZE=ON
