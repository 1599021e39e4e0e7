# SPDX-License-Identifier: LGPL-2.1-or-later
# TAVO_32.DLL and its tests, for a mingw-w64 cross build (see cmake/ and
# scripts/windows). Both DLLs' export and import tables are read; the suite
# and the loader run under Wine where it can run the build's programs
# (TAVO32_RUN_TESTS: wine64 for the 64-bit build, wine32 for the 32-bit one).
target_compile_definitions(tavo32_obj PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)

# Named as existing callers load it; the .def file gives the 20 plain names
# and no others, and stdcall-fixup matches them to the decorated 32-bit
# symbols (Leer_Dig32 to _Leer_Dig32@8).
add_library(TAVO_32 SHARED $<TARGET_OBJECTS:tavo32_obj> ${CMAKE_CURRENT_SOURCE_DIR}/src/tavo32.def)
set_target_properties(TAVO_32 PROPERTIES PREFIX "" SUFFIX ".DLL")
target_link_options(TAVO_32 PRIVATE -Wl,--enable-stdcall-fixup -Wl,--no-undefined)

find_program(TAVO32_OBJDUMP NAMES ${CMAKE_OBJDUMP} ${TOOLCHAIN_PREFIX}-objdump REQUIRED)
add_test(NAME dll_export_table
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/check_dll_exports.sh
                 ${TAVO32_OBJDUMP} $<TARGET_FILE:TAVO_32>)

set(tavo32_allowed_imports ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/win95_kernel32.txt)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    list(APPEND tavo32_allowed_imports ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/x64_kernel32_unwind.txt)
endif()
add_test(NAME dll_import_table
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/check_dll_imports.sh
                 ${TAVO32_OBJDUMP} $<TARGET_FILE:TAVO_32> ${tavo32_allowed_imports})

# The programs run only where Wine runs this build's word size.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(tavo32_can_run ON)
else()
    set(tavo32_can_run OFF)
endif()
option(TAVO32_RUN_TESTS "Build and run the Windows tests under Wine" ${tavo32_can_run})
if(NOT TAVO32_RUN_TESTS)
    return()
endif()
set(tavo32_wine_run ${PROJECT_SOURCE_DIR}/cmake/wine-run)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${tavo32_wine_run} ${CMAKE_BINARY_DIR}/wineprefix)
endif()

# A program that loads the DLL by name and calls each export, once per
# backend (the unset one asks the version query: NT family under Wine).
add_executable(tavo_loader ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/loader/tavo_loader.cpp)
target_include_directories(tavo_loader PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/include)
add_dependencies(tavo_loader TAVO_32)
foreach(backend sim driver:loopback none unset)
    string(REPLACE ":" "_" name ${backend})
    add_test(NAME tavo_loader_${name} COMMAND tavo_loader ${backend})
endforeach()
# Wine reporting Windows 98 (platform id 1) in a prefix of its own: the
# kernel is still NT's, so the calls go to the (absent) driver, and the port
# instructions, which would kill the process there, are never run.
add_test(NAME tavo_loader_unset_win98
         COMMAND ${tavo32_wine_run} ${CMAKE_BINARY_DIR}/wineprefix-win98
                 $<TARGET_FILE:tavo_loader> unset)
set_tests_properties(tavo_loader_unset_win98 PROPERTIES ENVIRONMENT "WINE_RUN_VERSION=win98")
# The DLL over TCP to a Linux port server on the loopback address, serving
# the built-in bench: the same answers as the bench in-process. TAVO32_TAVOD
# names a tavod of a Linux build (scripts/windows passes build/default's).
set(TAVO32_TAVOD "" CACHE FILEPATH "a Linux tavod for the TCP test of the DLL")
if(TAVO32_TAVOD)
    add_test(NAME tavo_loader_server
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/with_tavod.sh ${TAVO32_TAVOD}
                     ${tavo32_wine_run} ${CMAKE_BINARY_DIR}/wineprefix
                     $<TARGET_FILE:tavo_loader> server)
    set_tests_properties(tavo_loader_server PROPERTIES TIMEOUT 120)
endif()

if(NOT TAVO32_MINGW_THREADS STREQUAL "posix")
    return()
endif()
# GoogleTest from Debian's source package (googletest), built for the target.
# It needs std::mutex, which the win32-thread compilers lack, so the suite is
# built in a build of its own with the POSIX-thread ones (scripts/windows);
# it tests the library's code, not the shipped DLL, which the loader tests.
set(TAVO32_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TAVO32_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The suite as on Linux, less what reads the ELF symbol table; Windows
# counterparts live in tests/windows/. The portable tests set variables
# with setenv, which a small shim provides.
file(GLOB devlib_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/*_test.cpp)
list(FILTER devlib_test_sources EXCLUDE REGEX "/(frame_symbols|frame_automatic|bus_ppdev)_test\\.cpp$")
add_executable(devlib_tests ${devlib_test_sources})
target_link_libraries(devlib_tests PRIVATE tavo32_core gtest gtest_main)
target_compile_options(devlib_tests PRIVATE
                       -include ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/posix_env.h)
target_include_directories(devlib_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
add_dependencies(devlib_tests TAVO_32)
target_compile_definitions(devlib_tests PRIVATE TAVO32_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
                                                WIN32_LEAN_AND_MEAN NOMINMAX)
# One Wine process for the whole suite: one per test case would take
# minutes. An unset backend means the bench only on Linux; its Windows
# counterpart is in tests/windows/.
add_test(NAME devlib_tests
         COMMAND devlib_tests --gtest_filter=-FrameBackend.FirstCallChoosesTheMode)
set_tests_properties(devlib_tests PROPERTIES ENVIRONMENT "TAVO32_TRACE=" TIMEOUT 240)
