# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads).
# scripts/build-windows.sh uses it for Qt, the libraries Qt and Lumiset need,
# and Lumiset itself; LUMISET_WINDOWS_PREFIXES (a CMake list) names the
# folders those libraries are installed in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet} ${LUMISET_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine (ctest, and GoogleTest's test discovery).
find_program(LUMISET_WINE wine)
if(LUMISET_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMISET_WINE})
endif()
