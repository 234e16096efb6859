# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread needs). Libraries are looked up only in the MinGW
# system folder and in the prefixes given with -DCMAKE_FIND_ROOT_PATH (the dependency cache of
# scripts/build-windows-deps.sh). Programs link the C and C++ runtimes statically, so that they
# need no MinGW DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DUSK_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${DUSK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUSK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DUSK_MINGW_TRIPLET}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${DUSK_MINGW_TRIPLET})
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static archives only (set after CMake's platform files, which would prefer import libraries),
# and the prefixes' own folder for libraries that packages name bare (Assimp's minizip and z).
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-static-libraries.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
foreach(prefix ${CMAKE_FIND_ROOT_PATH})
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -L${prefix}/lib")
endforeach()

# pkg-config sees only the cross prefixes (CMake adds their lib/pkgconfig), never the build
# machine's own .pc files, and gives the static link lines with their private libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${DUSK_MINGW_TRIPLET}/lib/pkgconfig)
set(PKG_CONFIG_ARGN --static)

# ctest runs the test programs through wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
