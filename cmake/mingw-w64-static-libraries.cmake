# Loaded by the MinGW-w64 toolchain file after CMake's own platform settings: libraries are found
# as static archives only (libpthread.a, not the import library libpthread.dll.a), so that
# nothing needs a MinGW DLL at run time.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
