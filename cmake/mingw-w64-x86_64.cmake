# Cross-compiling for 64-bit Windows from Debian with mingw-w64 (g++-mingw-w64-x86-64-posix):
#     cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix flavour of the compiler is the one with std::thread and the C++20 library whole.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLUSRAIL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLUSRAIL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLUSRAIL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PLUSRAIL_MINGW_PREFIX}-windres)

# Headers and libraries come from the mingw sysroot only: the build machine's /usr/include
# would mix glibc headers in.
set(CMAKE_FIND_ROOT_PATH /usr/${PLUSRAIL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)


# What CMake and CTest run of the build (the suites' test lists, the suites) runs under Wine.
find_program(PLUSRAIL_WINE NAMES wine)
if(PLUSRAIL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLUSRAIL_WINE})
endif()
