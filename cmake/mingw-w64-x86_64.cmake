# Cross-builds qzview.exe for 64-bit Windows with mingw-w64 (posix thread model).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QZVIEW_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QZVIEW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QZVIEW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QZVIEW_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw-w64 sysroot only; programs run on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QZVIEW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
