# Cross-compiles Win32 binaries on Linux with MinGW-w64 (x86_64); the tests run
# under Wine through CTest's cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model is the one GoogleTest builds against.
find_program(CMAKE_C_COMPILER NAMES ${MINGW_PREFIX}-gcc-posix ${MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_PREFIX}-g++-posix ${MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The 64-bit loader: Debian's `wine` takes the 32-bit one whenever it is installed, even
# where it cannot run. Newer Wine has only `wine`, for both.
find_program(WINE64_LOADER NAMES wine64 wine
             PATHS /usr/lib/wine /usr/lib64/wine /usr/lib/x86_64-linux-gnu/wine /opt/wine-stable/bin)
if(WINE64_LOADER)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE64_LOADER})
endif()
