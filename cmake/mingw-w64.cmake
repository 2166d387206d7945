# Cross-compiles the core and its tests for 64-bit Windows with MinGW-w64 and
# runs the tests under wine:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZC_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix-threads variant: its libstdc++ has std::thread and std::mutex,
# which GoogleTest and our code expect.
set(CMAKE_C_COMPILER ${ZC_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZC_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZC_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZC_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked, the programs need no MinGW runtime DLLs beside them, on a
# plant's machine or under wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ZC_WINE wine)
if(ZC_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZC_WINE})
endif()
