# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (the
# posix threads variant, which has std::thread and friends):
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# The programs link libgcc, libstdc++ and winpthread statically, so an .exe
# runs on Windows (or under Wine) without DLLs of the compiler beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(webhoard_mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${webhoard_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${webhoard_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${webhoard_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${webhoard_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
