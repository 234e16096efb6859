#!/usr/bin/env bash
# Builds Dusklorne and runs every test headless: the release build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer. Starts its own virtual display.
# Usage: scripts/run-tests.sh [ctest label: logic | gl | e2e | image]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
label=${1:-}
jobs=$(nproc)

# Xvfb picks a free display number itself and writes it to the given descriptor.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$display_file")
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
