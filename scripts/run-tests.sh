#!/usr/bin/env bash
# Builds Dusklorne and runs the tests headless: the Windows build (scripts/build-windows.sh) with
# its logic and gl programs under wine, every test in a release build (its windows group runs the
# Windows zip under wine), then the logic and gl groups and the start-up smoke test under
# AddressSanitizer and UndefinedBehaviorSanitizer.
# Starts its own virtual display and says how long each build and each test run took. Both
# builds are configured with every option the tests need, whatever configured them before; a run
# in which no test matches the label, or in which no test runs, fails.
# Usage: scripts/run-tests.sh [ctest label expression: logic | gl | e2e | smoke | tools | image |
#                             package | windows]
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

# run_suite BUILD_DIR "TARGETS (empty: all)" release|sanitize
run_suite() {
    local build=$1 targets=$2
    local start=$SECONDS
    "$root/scripts/configure.sh" "$build" "$3"
    # shellcheck disable=SC2086
    cmake --build "$build" -j "$jobs" ${targets:+--target $targets}
    echo "-- built in $((SECONDS - start)) s"
    start=$SECONDS
    local args=(--test-dir "$build" --output-on-failure --no-tests=error -j "$jobs")
    [[ -n "$label" ]] && args+=(-L "$label")
    local count
    count=$(ctest "${args[@]}" -N | sed -n 's/^Total Tests: //p')
    if [[ "${count:-0}" -eq 0 ]]; then
        echo "run-tests: FAILED: no test${label:+ matches the label '$label'} in $build"
        return 1
    fi
    ctest "${args[@]}"
    echo "-- tested in $((SECONDS - start)) s"
}

if [[ -z "$label" ]] || [[ "windows" =~ $label ]]; then
    echo "== Windows build (MinGW-w64): the zip, and the logic and gl programs under wine"
    start=$SECONDS
    "$root/scripts/build-windows.sh"
    echo "-- built in $((SECONDS - start)) s"
    start=$SECONDS
    ctest --test-dir "$root/build-windows" --output-on-failure --no-tests=error -j "$jobs" -L windows
    echo "-- tested in $((SECONDS - start)) s"
fi
echo "== release build: every test"
run_suite "$root/build" "" release
# The sanitizer build has the labels logic, gl and e2e-smoke; a label that matches none of them
# (image, tools-...) has run in the release build alone.
if [[ -n "$label" ]] && ! [[ "logic" =~ $label || "gl" =~ $label || "e2e-smoke" =~ $label ]]; then
    echo "== sanitizer build: no test of it matches '$label'"
    exit 0
fi
echo "== sanitizer build (address, undefined): logic, gl and the start-up smoke test"
# The program keeps its scene alive until exit by design, so leak reports say nothing.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
run_suite "$root/build-sanitize" "dusk_logic_tests dusk_gl_tests dusk_smoke_tests" sanitize
