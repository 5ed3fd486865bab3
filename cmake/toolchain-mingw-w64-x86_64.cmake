# Cross-builds the programs and the tests as 64-bit Windows executables with Debian's
# MinGW-w64 (packages g++-mingw-w64-x86-64), run under Wine by CTest.
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tailmend_mingw x86_64-w64-mingw32)
# The posix thread model: GoogleTest needs std::thread and std::mutex.
set(CMAKE_C_COMPILER ${tailmend_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tailmend_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tailmend_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tailmend_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no MinGW runtime DLLs to ship or to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
