# SPDX-License-Identifier: GPL-3.0-or-later
# 32-bit Windows with Debian's mingw-w64: the DLL that existing callers load.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
