#!/usr/bin/env bash
# Builds the libraries of the Windows build once, from Debian's own source packages (apt-get
# source, release suite), with MinGW-w64 into a cache outside the clone, and prints the cache's
# folder. Static libraries only, each built with just what the demo, its tests and the bench
# tool use. The cache is keyed by the source versions, this script, the toolchain file and the
# compiler; a folder holds a finished cache only: the build goes into a work folder that is
# renamed into place when everything is in. Progress goes to standard error, the build's output
# to a log; a failure ends with one line naming what failed.
# Usage: scripts/build-windows-deps.sh        (DUSK_MINGW_CACHE: the cache root)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=build-windows-deps
fail() {
    echo "$name: FAILED: $*" >&2
    exit 1
}

triplet=x86_64-w64-mingw32
cc=$triplet-gcc-posix
cxx=$triplet-g++-posix
command -v "$cxx" >/dev/null || fail "no cross compiler $cxx (Debian package g++-mingw-w64-x86-64-posix)"
for tool in apt-get dpkg-source cmake make autoreconf libtoolize; do
    command -v "$tool" >/dev/null || fail "no $tool (scripts/install-windows-tools.sh installs it)"
done
[[ -f /usr/include/utf8cpp/utf8.h ]] || fail "no /usr/include/utf8cpp (Debian package libutfcpp-dev)"

cache=${DUSK_MINGW_CACHE:-/var/cache/dusklorne-mingw}
mkdir -p "$cache/sources" 2>/dev/null || fail "cannot make the cache folder $cache"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")

# Source package and version, as apt would fetch them from the release suite (one apt call).
packages=(zlib libpng1.6 libjpeg-turbo imagemagick glfw3 glew glm minizip assimp bullet imgui
          googletest cli11)
dscs=$(apt-get source --print-uris -qq "${packages[@]/%//$codename}" 2>/dev/null |
       awk '$2 ~ /\.dsc$/ { print $2 }' || true)
versions=()
for package in "${packages[@]}"; do
    dsc=$(grep -m1 "^${package}_" <<<"$dscs" || true)
    [[ -n "$dsc" ]] || fail "no source package $package in $codename (no deb-src entry? scripts/install-windows-tools.sh adds one)"
    dsc=${dsc%.dsc}
    versions+=("${dsc#*_}")
done
compiler=$("$cxx" --version 2>/dev/null | head -n1) || fail "the cross compiler $cxx does not run"
key=$( {
    paste -d' ' <(printf '%s\n' "${packages[@]}") <(printf '%s\n' "${versions[@]}")
    cat "$0" "$root"/cmake/mingw-w64-*.cmake
    echo "$compiler"
} | sha256sum | cut -c1-16)
prefix=$cache/$key
if [[ -d "$prefix" ]]; then
    echo "$prefix"
    exit 0
fi

# One build at a time; a second run waits and then takes the first one's cache.
exec 9>"$cache/.lock"
flock 9
if [[ -d "$prefix" ]]; then
    echo "$prefix"
    exit 0
fi

# Everything is built and installed in the work folder; its path in the installed text files
# (.pc, CMake packages) becomes the cache's before the rename.
work=$cache/$key.partial
rm -rf "$work" "$cache"/*.partial "$cache"/*.log
mkdir -p "$work/src" "$work/build"
stage=$work/prefix
log=$cache/$key.log
: >"$log"
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
jobs=$(nproc)
started=$SECONDS

# unpack PACKAGE VERSION: fetch (once, into the sources folder), unpack with Debian's patches, and
# leave the shell in the source tree.
unpack() {
    local package=$1 version=$2
    if ! ls "$cache/sources/${package}_${version#*:}.dsc" >/dev/null 2>&1; then
        (cd "$cache/sources" && apt-get source --download-only -qq "$package/$codename") \
            >>"$log" 2>&1 || fail "downloading the source of $package $version (log: $log)"
    fi
    rm -rf "$work/src/$package"
    dpkg-source -x "$cache/sources/${package}_${version#*:}.dsc" "$work/src/$package" \
        >>"$log" 2>&1 || fail "unpacking $package $version (log: $log)"
    cd "$work/src/$package"
}

cmake_build() {  # cmake_build BUILD_FOLDER_NAME CMAKE_ARGS... [-- TARGETS]
    local build=$work/build/$1
    shift
    local args=() targets=()
    while (($#)) && [[ $1 != -- ]]; do args+=("$1"); shift; done
    if (($#)); then
        shift
        targets=(--target "$@")
    fi
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_FIND_ROOT_PATH="$stage" \
        -DCMAKE_PREFIX_PATH="$stage" -DBUILD_SHARED_LIBS=OFF "${args[@]}" &&
        cmake --build "$build" -j "$jobs" "${targets[@]}" &&
        if ((${#targets[@]} == 0)); then cmake --install "$build"; fi
}

autotools_env=(CC="$cc" CXX="$cxx" AR=$triplet-ar RANLIB=$triplet-ranlib
               PKG_CONFIG_LIBDIR="$stage/lib/pkgconfig" PKG_CONFIG_PATH=
               CPPFLAGS="-I$stage/include" LDFLAGS="-L$stage/lib")

build_zlib() {
    CHOST=$triplet CC="$cc" ./configure --static --prefix="$stage" && make -j "$jobs" libz.a &&
        make install
}
build_libpng1.6() {
    cmake_build png -DPNG_SHARED=OFF -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
}
build_libjpeg-turbo() {
    # Without SIMD: no assembler needed, and the decoder's integer arithmetic is the same.
    cmake_build jpeg -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
}
build_imagemagick() {
    # Magick++ with the PNG and JPEG coders built in: no modules, OpenMP, X or other delegate,
    # and no configuration files (the zip has none): their defaults are compiled in.
    local without=(bzlib zstd dps fftw flif fpx djvu fontconfig freetype raqm gdi32 heic jbig jxl
                   lcms openjp2 lqr lzma openexr pango raw tiff webp wmf xml x perl gvc rsvg
                   gslib autotrace)
    # Debian's backport of realpath_utf8 was never compiled for Windows: two typos, and a stray
    # semicolon that makes it fail every time.
    sed -i -e 's/^    utf8_length,$/    utf8_length;/' -e 's/AcquireQuantumMeory/AcquireQuantumMemory/' \
        -e 's/if (full_path == (wchar_t \*) NULL);/if (full_path == (wchar_t *) NULL)/' \
        magick/utility-private.h &&
        env "${autotools_env[@]}" ./configure --host=$triplet --prefix="$stage" --disable-shared \
            --enable-static --enable-zero-configuration --without-modules --disable-openmp \
            --disable-opencl --disable-docs --disable-deprecated --with-quantum-depth=16 \
            --disable-hdri --with-png --with-jpeg --with-zlib "${without[@]/#/--without-}" &&
        make -j "$jobs" bin_PROGRAMS= && make install bin_PROGRAMS= &&
        # MagickCore's distributed pixel cache calls Winsock, which its .pc file leaves out.
        sed -i '/^Libs.private:/s/$/ -lws2_32/' "$stage"/lib/pkgconfig/MagickCore*.pc
}
build_glfw3() {
    cmake_build glfw -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
}
build_glew() {
    cd build/cmake && cmake_build glew -DBUILD_UTILS=OFF -DGLEW_STATIC=ON
}
build_glm() {
    cmake_build glm -DGLM_TEST_ENABLE=OFF
}
build_minizip() {
    autoreconf -fi && env "${autotools_env[@]}" ./configure --host=$triplet --prefix="$stage" \
        --disable-shared --enable-static && make -j "$jobs" && make install
}
build_assimp() {
    # Only the OBJ importer; Debian links its own draco for glTF, which this build leaves out.
    patch -R -p1 <debian/patches/use-system-libdraco.patch &&
        cmake_build assimp -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_OBJ_IMPORTER=ON \
            -DASSIMP_NO_EXPORT=ON -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
            -DASSIMP_BUILD_SAMPLES=OFF -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF \
            -DASSIMP_INSTALL_PDB=OFF -DASSIMP_INJECT_DEBUG_POSTFIX=OFF \
            -DCMAKE_CXX_FLAGS="-I/usr/include/utf8cpp"
}
build_bullet() {
    # LinearMath, collision and dynamics only, installed by their own install scripts. Without
    # the demos no OpenGL is needed: FindOpenGL trips over Debian's wrapper of
    # set_target_properties on Windows.
    local build=$work/build/bullet
    cmake_build bullet -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON -DUSE_DOUBLE_PRECISION=OFF -DBUILD_EXTRAS=OFF -DBUILD_BULLET3=OFF \
        -DBUILD_BULLET2_DEMOS=OFF -DBUILD_OPENGL3_DEMOS=OFF -DBUILD_CPU_DEMOS=OFF \
        -DBUILD_UNIT_TESTS=OFF -DINSTALL_LIBS=ON -- LinearMath BulletCollision BulletDynamics &&
        for part in LinearMath BulletCollision BulletDynamics; do
            cmake -DCMAKE_INSTALL_PREFIX="$stage" -P "$build/src/$part/cmake_install.cmake" || return
        done &&
        install -m 644 src/btBulletCollisionCommon.h src/btBulletDynamicsCommon.h \
            "$stage/include/bullet/" &&
        mkdir -p "$stage/lib/pkgconfig" &&
        sed 's/ -lBulletSoftBody//' "$build/bullet.pc" >"$stage/lib/pkgconfig/bullet.pc"
}
build_imgui() {
    # Debian's Makefile, with Dear ImGui's own stb code instead of Debian's libstb; the GLFW
    # backend's source goes where Debian's libimgui-dev puts it.
    local docs=$stage/share/doc/libimgui-dev/examples/backends
    make -j "$jobs" CXX="$cxx" AR=$triplet-ar CPPFLAGS=-I. LIBS= \
        SRCS="imgui.cpp imgui_draw.cpp imgui_tables.cpp imgui_widgets.cpp" \
        VERSION="${1%%+*}" PREFIX="$stage" LIBDIR=lib install &&
        sed -i '/^Requires: stb/d' "$stage/lib/pkgconfig/imgui.pc" &&
        mkdir -p "$docs" && install -m 644 backends/imgui_impl_glfw.cpp "$docs/"
}
build_googletest() {
    cmake_build gtest -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF
}
build_cli11() {
    cmake_build cli11 -DCLI11_BUILD_TESTS=OFF -DCLI11_BUILD_EXAMPLES=OFF -DCLI11_BUILD_DOCS=OFF
}

for i in "${!packages[@]}"; do
    package=${packages[$i]} version=${versions[$i]}
    echo "$name: $package $version" >&2
    echo "== $package $version" >>"$log"
    unpack "$package" "$version"
    "build_$package" "${version#*:}" >>"$log" 2>&1 || fail "building $package $version (log: $log)"
done
rm -rf "$stage"/bin "$stage"/share/man "$stage"/share/doc/ImageMagick-6 "$stage"/lib/*.la
paste -d' ' <(printf '%s\n' "${packages[@]}") <(printf '%s\n' "${versions[@]}") >"$stage/versions.txt"
mv "$log" "$stage/build.log"
grep -rlIZ -- "$stage" "$stage" | xargs -0 -r sed -i "s|$stage|$prefix|g"
mv "$stage" "$prefix"
echo "$name: built in $((SECONDS - started)) s" >&2
echo "$prefix"
