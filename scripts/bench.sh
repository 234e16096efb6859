#!/usr/bin/env bash
# The performance figures of the README: builds the release build and runs dusk_bench over the
# whole intro at 1200 x 900 on a virtual display with Mesa's llvmpipe, every frame timed pass by
# pass, with the floor run for each pass's ratio. Writes build/bench/summary.txt, frames.csv
# (every frame) and chart.png, and prints the summary.
#   --docs   also remakes the README's contact sheet docs/intro-sheet.png, the chart
#            docs/bench-chart.png and the pass pictures docs/pathtime-0.696*.png
# Other options go to dusk_bench bench (for example --dt 1/60 for every frame of the intro at
# 60 Hz, about six times as many frames; see dusk_bench help).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
docs=false
args=()
for arg in "$@"; do
    if [[ "$arg" == "--docs" ]]; then docs=true; else args+=("$arg"); fi
done
"$root/scripts/install-deps.sh"

build="${DUSK_BUILD_DIR:-$root/build}"
"$root/scripts/configure.sh" "$build" demo
cmake --build "$build" --target dusklorne dusk_bench dusk_shaders dusk_assets
tool="$build/tools/bench/dusk_bench"
out="$build/bench"
mkdir -p "$out"

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$display_file")
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe

# A frame time of 0.1 s samples the 42.5 s intro in 426 frames; the clock only picks which
# moments are drawn, each frame's cost is measured on the wall clock.
"$tool" bench --run-dir "$build/run" --size 1200x900 --dt 0.1 --floor \
    --csv "$out/frames.csv" --chart "$out/chart.png" "${args[@]}" >"$out/log.txt"
sed -n '/^bench:/,$p' "$out/log.txt" | tee "$out/summary.txt"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

if $docs; then
    "$tool" capture --run-dir "$build/run" --size 800x600 --dt 0.1 \
        --sheet "$root/docs/intro-sheet.png" --sheet-count 16 >/dev/null
    # One moment of the intro with what each pass handed on.
    "$tool" capture --run-dir "$build/run" --size 400x300 --dt 0.1 --at-time 0.696 --targets \
        --out "$root/docs" >/dev/null
    cp "$out/chart.png" "$root/docs/bench-chart.png"
    echo "Pictures written: docs/intro-sheet.png, docs/bench-chart.png, docs/pathtime-0.696*.png"
fi
