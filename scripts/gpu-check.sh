#!/usr/bin/env bash
# The ready check for a Linux machine with a GPU and no display server, in one command:
#   gpu-check.sh OUTDIR
# 1. captures the README's moments headless at 1920 x 1080 (the intro at pathTime 0.05, 0.3,
#    0.58, 0.696 and 1.05, and free flight with W held after it) and compares each with the
#    software renderer's picture of the same moment: a pixel differs when a channel is off by
#    more than 16 levels, a picture passes when at most 2 % of its pixels differ (a GPU filters,
#    compares shadows and rounds a little differently from llvmpipe); each comparison leaves a
#    sheet A | B | difference;
# 2. runs `dusk_bench bench --headless --timer gpu` over the whole intro at 60 Hz (2551 frames)
#    at 1920 x 1080 and at 3840 x 2160, with a CSV file, a chart and the summary of each;
# 3. writes OUTDIR/report.txt: the renderer, median and 95th-percentile frame time and FPS, the
#    median of each pass and the picture comparisons.
# Exit code 0 when every step ran and every picture passed, 1 otherwise (the report says which).
# GPU time is scarce: the pictures have 90 s and each bench 120 s, so the check ends within 6
# minutes even on a slow card.
#
# It runs from the source tree (the release build in build/, or DUSK_BUILD_DIR) or from the
# bundle of scripts/gpu-bundle.sh, which carries its own libraries and the software renderer's
# pictures. From the source tree those are rendered here with Mesa's software renderer, or
# taken from DUSK_CHECK_REFERENCES=DIR.
# Environment: DUSK_CHECK_DEVICE=N the EGL device (dusk_bench devices; default 0);
# DUSK_CHECK_QUICK=1 small sizes and 30 frames a bench, for the tests on the software renderer.
#   gpu-check.sh --references DIR   only renders the software renderer's pictures into DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [[ -x "$here/bin/dusk_bench" ]]; then
    # A bundle: its own libraries, ImageMagick's coders and configuration, and the font.
    tool=$here/bin/dusk_bench run=$here/run references=$here/reference
    export LD_LIBRARY_PATH=$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
    export MAGICK_CODER_MODULE_PATH=$here/magick/coders MAGICK_CONFIGURE_PATH=$here/magick/config
    export MAGICK_CODER_FILTER_PATH=$here/magick/filters DUSK_LABEL_FONT=$here/fonts/DejaVuSans.ttf
else
    build=${DUSK_BUILD_DIR:-$here/../build}
    tool=$build/tools/bench/dusk_bench run=$build/run references=${DUSK_CHECK_REFERENCES:-}
fi
# NVIDIA's EGL vendor file, where the driver puts it on the GPU machines we have.
nvidia=/usr/local/nvidia/share/glvnd/egl_vendor.d/10_nvidia.json
if [[ -z "${__EGL_VENDOR_LIBRARY_FILENAMES:-}" && -f "$nvidia" ]]; then
    export __EGL_VENDOR_LIBRARY_FILENAMES=$nvidia
fi
device=${DUSK_CHECK_DEVICE:-0}

if [[ "${DUSK_CHECK_QUICK:-0}" == 1 ]]; then
    picture_size=160x90 bench_sizes=(160x90 320x180) bench_length=(--frames 30)
else
    picture_size=1920x1080 bench_sizes=(1920x1080 3840x2160) bench_length=()
fi

# capture_moments DEVICE DIR [LIMIT]: the README's moments, at 0.25 s a frame (the intro is over
# after frame 171; W is held from frame 172 to 191, free flight is frame 192), within LIMIT s.
capture_moments() {
    timeout "${3:-0}" "$tool" capture --run-dir "$run" --headless --device "$1" --size "$picture_size" --dt 0.25 \
        --at-time 0.05,0.3,0.58,0.696,1.05 --key W@172+20 --at-frame 192 --out "$2" >"$2/capture.log"
    echo "$picture_size" >"$2/size.txt"
}

# Mesa's software device: the one `devices` names llvmpipe, with Mesa's EGL vendor alone.
software_moments() {
    local mesa=/usr/share/glvnd/egl_vendor.d/50_mesa.json index
    [[ -f "$mesa" ]] || return 1
    export __EGL_VENDOR_LIBRARY_FILENAMES=$mesa LIBGL_ALWAYS_SOFTWARE=1
    index=$("$tool" devices | grep -i -m1 'llvmpipe\|software' | grep -o '[0-9]\+' | head -n1)
    [[ -n "$index" ]] && capture_moments "$index" "$1"
}

if [[ "${1:-}" == --references ]]; then
    [[ -n "${2:-}" ]] || { echo "usage: gpu-check.sh --references DIR" >&2; exit 2; }
    mkdir -p "$2"
    (software_moments "$(cd "$2" && pwd)") || { echo "gpu-check: no software renderer" >&2; exit 1; }
    exit 0
fi
[[ $# -eq 1 ]] || { echo "usage: gpu-check.sh OUTDIR (see the top of this script)" >&2; exit 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd)
report=$out/report.txt
status=0
start=$SECONDS

# 1. The moments on this machine's device, and the software renderer's to compare with.
echo "gpu-check: pictures at $picture_size" >&2
mkdir -p "$out/pictures" "$out/compare"
capture_moments "$device" "$out/pictures" 90 || status=1
if [[ -z "$references" ]]; then
    references=$out/software
    mkdir -p "$references"
    (software_moments "$references") || references=
fi
comparisons=()
for picture in "$out"/pictures/*.png; do
    name=$(basename "$picture" .png)
    if [[ -z "$references" || ! -f "$references/$name.png" ]]; then
        comparisons+=("  $name: no software picture to compare with")
        status=1
        continue
    fi
    result=$("$tool" compare "$references/$name.png" "$picture" \
        --sheet "$out/compare/$name.png" 2>&1) || status=1
    result=${result%%$'\n'*}
    comparisons+=("  $name: ${result#compare: }")
done

# 2. The benches.
for size in "${bench_sizes[@]}"; do
    echo "gpu-check: bench at $size" >&2
    timeout 120 "$tool" bench --run-dir "$run" --headless --device "$device" --timer gpu --size "$size" \
        --dt 1/60 "${bench_length[@]}" --csv "$out/bench-$size.csv" \
        --chart "$out/bench-$size.png" >"$out/bench-$size.log" 2>&1 || {
        [[ $? == 124 ]] && echo "stopped at the limit of 120 s" >>"$out/bench-$size.log"
        status=1
    }
    sed -n '/^bench:/,$p' "$out/bench-$size.log" >"$out/bench-$size.txt"
done

# 3. The report, from the summaries: the rows are "  NAME MIN MEDIAN P95 MAX" in ms.
{
    echo "Dusklorne GPU check, $(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -n), $(nproc) cores"
    grep -h -m1 '^bench:' "$out/bench-${bench_sizes[0]}.txt" | sed 's/^bench: [^,]*, //' || true
    grep -h -i -m3 '^ *\(renderer\|mode\|timer\|GL_\)' "$out/bench-${bench_sizes[0]}.txt" || true
    echo "EGL devices: $("$tool" devices 2>&1 | paste -s -d ';'), this check's: $device"
    for size in "${bench_sizes[@]}"; do
        if [[ ! -s "$out/bench-$size.txt" ]]; then
            echo "$size: no figures: $(tail -n1 "$out/bench-$size.log")"
            continue
        fi
        awk -v size="$size" '
            $1 == "frame" && NF == 5 {
                printf "%s: frame median %.3f ms (%.1f FPS), 95th percentile %.3f ms (%.1f FPS)\n",
                       size, $3, ($3 > 0 ? 1000 / $3 : 0), $4, ($4 > 0 ? 1000 / $4 : 0) }
            $1 ~ /^(update|begin|shadow|depth|scene|particles|final|settings)$/ && NF == 5 {
                passes = passes sprintf(" %s %.3f", $1, $3) }
            END { if (passes == "") print size ": no bench figures"; else print "  medians (ms):" passes }
        ' "$out/bench-$size.txt"
    done
    echo "pictures at $picture_size against the software renderer's ($references):"
    printf '%s\n' "${comparisons[@]}"
    echo "files: pictures/, compare/ (A | B | difference), bench-*.csv, bench-*.png, bench-*.txt"
    echo "took $((SECONDS - start)) s; $([[ $status == 0 ]] && echo "all passed" || echo "FAILED")"
} >"$report"
cat "$report"
exit "$status"
