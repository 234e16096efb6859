#!/usr/bin/env bash
# Builds, on this development machine, the self-contained bundle of the GPU ready check for a
# machine that cannot install packages:
#   gpu-bundle.sh OUTDIR      writes the folder OUTDIR and the tarball OUTDIR.tar.gz
# On the GPU machine: tar xzf dusklorne-gpu.tar.gz && dusklorne-gpu/gpu-check.sh results
# The bundle holds bin/dusk_bench; run/ (config, shaders, models, images); lib/, the shared
# libraries they load (from ldd, with libstdc++ and the vendor-neutral libglvnd libraries
# libEGL, libGLdispatch, libOpenGL, libGL and libGLX; not glibc's own libraries, which every
# machine has, nor a GL vendor's, which come with the GPU's driver); ImageMagick's coder
# modules and configuration; the labels' font; reference/, the software renderer's pictures
# of the moments the check compares; and gpu-check.sh, which sets the paths to all of it.
# Environment: DUSK_BUILD_DIR (default build/); DUSK_BUNDLE_BUILD=0 takes the build as it is;
# DUSK_CHECK_QUICK=1 renders the references at the quick check's size (the tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -eq 1 ]] || { echo "usage: gpu-bundle.sh OUTDIR" >&2; exit 2; }
build=${DUSK_BUILD_DIR:-$root/build}
if [[ "${DUSK_BUNDLE_BUILD:-1}" != 0 ]]; then
    "$root/scripts/install-deps.sh"
    "$root/scripts/configure.sh" "$build" demo
    cmake --build "$build" --target dusk_bench dusk_shaders dusk_assets
fi

mkdir -p "$1"
out=$(cd "$1" && pwd)
rm -rf "${out:?}"/*
mkdir -p "$out"/{bin,lib,run,fonts,reference} "$out"/magick/{coders,filters,config}
cp "$build/tools/bench/dusk_bench" "$out/bin/"
cp -r "$build/run/config.txt" "$build/run/Dusklorne" "$build/run/Model" "$out/run/"
cp "$root/scripts/gpu-check.sh" "$out/"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$out/fonts/"

# ImageMagick loads its coders as modules: PNG and JPEG files, raw RGBA (the textures' pixels),
# xc (a plain canvas) and label (text).
magick=$(dirname "$(find /usr/lib -path '*/modules-Q16/coders/png.so' | head -n1)")
for coder in png jpeg rgb xc label; do
    cp "$magick/$coder.so" "$magick/$coder.la" "$out/magick/coders/"
done
cp /etc/ImageMagick-6/*.xml /usr/share/ImageMagick-6/*.xml "$out/magick/config/"

# Every library that the program and the coders load, glibc's own left out.
glibc='^(linux-vdso|libc|libm|libdl|libpthread|librt|ld-linux(-x86-64)?)\.so'
libs=$(ldd "$out/bin/dusk_bench" "$out"/magick/coders/*.so | awk '$2 == "=>" && $3 ~ /^\// {print $3}')
for glvnd in libEGL.so.1 libGLdispatch.so.0 libOpenGL.so.0 libGL.so.1 libGLX.so.0; do
    libs+=$'\n'/usr/lib/x86_64-linux-gnu/$glvnd
done
sort -u <<<"$libs" | while read -r lib; do
    if [[ ! "$(basename "$lib")" =~ $glibc ]]; then
        cp -L "$lib" "$out/lib/"
    fi
done
# The bundle is complete when, with its libraries first, nothing else comes from the system.
missing=$(LD_LIBRARY_PATH=$out/lib ldd "$out/bin/dusk_bench" "$out"/magick/coders/*.so |
    awk '$2 == "=>" {print $1, $3}' | grep -v -E "$glibc| $out/lib/" || true)
if [[ -n "$missing" ]]; then
    echo "gpu-bundle: not in the bundle: $missing" >&2
    exit 1
fi

# The software renderer's pictures, drawn here by the build's tool with Mesa's llvmpipe.
DUSK_BUILD_DIR=$build "$root/scripts/gpu-check.sh" --references "$out/reference"
tar -czf "$out.tar.gz" -C "$(dirname "$out")" "$(basename "$out")"
echo "bundle: $out ($(du -sh "$out" | cut -f1)), $out.tar.gz ($(du -sh "$out.tar.gz" | cut -f1))"
