# SPDX-License-Identifier: GPL-3.0-or-later
# Shared part of the mingw-w64 toolchain files: TOOLCHAIN_PREFIX names the
# target triplet. The win32-thread compilers: the POSIX ones link winpthread,
# which imports KERNEL32 functions that Windows 95/98, 2000 and XP lack
# (GetTickCount64 and others), so the DLL would not load where its direct
# path is meant to run. Nothing built for Windows uses std::thread.
# TAVO32_MINGW_THREADS=posix builds the GoogleTest suite, which needs
# std::mutex (see devlib/windows.cmake).
if(NOT TAVO32_MINGW_THREADS)
    set(TAVO32_MINGW_THREADS win32)
endif()
set(TAVO32_MINGW_THREADS ${TAVO32_MINGW_THREADS} CACHE STRING "mingw-w64 thread model: win32 or posix")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-${TAVO32_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${TAVO32_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No compiler runtime DLLs beside the program: libgcc, libstdc++ and
# winpthread go inside each binary, which then imports only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
