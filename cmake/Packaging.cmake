# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules for a system layout under CMAKE_INSTALL_PREFIX, the one the
# Debian packages hold (scripts/package). Each rule belongs to the component
# named after its package, and the packaging installs one component into each
# package:
#   libtavo-32-1   the shared library and its SONAME link
#   libtavo32-dev  the header, the unversioned link, pkg-config and CMake files
#   tavo           the command-line tool and its manual page
#   tavod          the port server, its manual page and its defaults file
#                  (its systemd units and user come from debian/)
#   kalmor         the program, its menu launcher, desktop entry, icons,
#                  AppStream metadata, manual page, help and example set-up
# Off by default: a build tree keeps its own one-folder install rules.
option(KALMOR_SYSTEM_INSTALL "Install into a system layout (the Debian packages)" OFF)
if(NOT KALMOR_SYSTEM_INSTALL OR WIN32)
    return()
endif()

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(kalmor_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(kalmor_packaging_out ${PROJECT_BINARY_DIR}/packaging)
# The package, pkg-config and the CMake package all carry the project's version.
set(kalmor_tavo32_version ${PROJECT_VERSION})
get_target_property(kalmor_tavo32_soversion TAVO_32 SOVERSION)

# --- libtavo-32-1 and libtavo32-dev ---------------------------------------------
# Programs built against the package use TAVO32::TAVO32.
set_target_properties(TAVO_32 PROPERTIES EXPORT_NAME TAVO32)
install(TARGETS TAVO_32 EXPORT TAVO32Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
                COMPONENT libtavo-32-1
                NAMELINK_COMPONENT libtavo32-dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/devlib/include/tavo32.h
              ${PROJECT_SOURCE_DIR}/devlib/include/tavo32_ext.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT libtavo32-dev)

set(kalmor_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/TAVO32)
install(EXPORT TAVO32Targets NAMESPACE TAVO32:: DESTINATION ${kalmor_cmake_dir}
        COMPONENT libtavo32-dev)
configure_file(${kalmor_packaging_dir}/TAVO32Config.cmake.in
               ${kalmor_packaging_out}/TAVO32Config.cmake @ONLY)
write_basic_package_version_file(${kalmor_packaging_out}/TAVO32ConfigVersion.cmake
                                 VERSION ${kalmor_tavo32_version}
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${kalmor_packaging_out}/TAVO32Config.cmake
              ${kalmor_packaging_out}/TAVO32ConfigVersion.cmake
        DESTINATION ${kalmor_cmake_dir} COMPONENT libtavo32-dev)

configure_file(${kalmor_packaging_dir}/tavo32.pc.in ${kalmor_packaging_out}/tavo32.pc @ONLY)
install(FILES ${kalmor_packaging_out}/tavo32.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT libtavo32-dev)

# --- tavo --------------------------------------------------------------------
# The library is on the system's search path: no RUNPATH.
set_target_properties(tavo PROPERTIES INSTALL_RPATH "")
install(TARGETS tavo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tavo)
install(FILES ${kalmor_packaging_dir}/man/tavo.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tavo)

# --- tavod -------------------------------------------------------------------
install(TARGETS tavod RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT tavod)
install(FILES ${kalmor_packaging_dir}/man/tavod.8
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT tavod)
install(FILES ${kalmor_packaging_dir}/tavod/tavod.default
        DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/default RENAME tavod COMPONENT tavod)

# --- kalmor ------------------------------------------------------------------
if(NOT TARGET kalmor)
    return()
endif()

# kalmor loads libTAVO_32.so from its own folder. It lives in a private
# folder where that name is a link to the installed library, so it needs no
# development package; /usr/bin/kalmor is a link to it (the program's folder
# is the one the link resolves to).
set(kalmor_private_dir ${CMAKE_INSTALL_LIBDIR}/kalmor)
set(kalmor_private_full ${CMAKE_INSTALL_FULL_LIBDIR}/kalmor)
set(kalmor_datadir ${CMAKE_INSTALL_DATADIR}/kalmor)
set(KALMOR_PROGRAM ${kalmor_private_full}/kalmor)
set(KALMOR_LAUNCHER ${kalmor_private_full}/kalmor-menu)
set(KALMOR_EXAMPLE_CONFIG ${CMAKE_INSTALL_FULL_DATADIR}/kalmor/Config.CFG)

install(TARGETS kalmor RUNTIME DESTINATION ${kalmor_private_dir} COMPONENT kalmor)
file(RELATIVE_PATH kalmor_bin_link ${CMAKE_INSTALL_FULL_BINDIR} ${KALMOR_PROGRAM})
file(RELATIVE_PATH kalmor_lib_link ${kalmor_private_full}
     ${CMAKE_INSTALL_FULL_LIBDIR}/libTAVO_32.so.${kalmor_tavo32_soversion})
install(CODE "
    set(root \"\$ENV{DESTDIR}\")
    file(MAKE_DIRECTORY \"\${root}${CMAKE_INSTALL_FULL_BINDIR}\")
    file(CREATE_LINK \"${kalmor_bin_link}\" \"\${root}${CMAKE_INSTALL_FULL_BINDIR}/kalmor\" SYMBOLIC)
    file(CREATE_LINK \"${kalmor_lib_link}\" \"\${root}${kalmor_private_full}/libTAVO_32.so\" SYMBOLIC)
    " COMPONENT kalmor)

# The menu starts kalmor through a launcher that gives it a folder of its own.
configure_file(${kalmor_packaging_dir}/kalmor-menu.in ${kalmor_packaging_out}/kalmor-menu @ONLY)
install(PROGRAMS ${kalmor_packaging_out}/kalmor-menu
        DESTINATION ${kalmor_private_dir} COMPONENT kalmor)
install(FILES ${PROJECT_SOURCE_DIR}/docs/examples/Config.CFG
        DESTINATION ${kalmor_datadir} COMPONENT kalmor)

configure_file(${kalmor_packaging_dir}/kalmor.desktop.in ${kalmor_packaging_out}/kalmor.desktop
               @ONLY)
install(FILES ${kalmor_packaging_out}/kalmor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT kalmor)
install(FILES ${kalmor_packaging_dir}/kalmor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT kalmor)
install(FILES ${kalmor_packaging_dir}/man/kalmor.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT kalmor)
install(FILES ${PROJECT_SOURCE_DIR}/docs/help/ayuda.html
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT kalmor)

# The icon: our SVG, and PNG renderings of it in the sizes desktops ask for.
find_program(KALMOR_RSVG_CONVERT rsvg-convert REQUIRED)
set(kalmor_icon_svg ${kalmor_packaging_dir}/icons/kalmor.svg)
set(kalmor_icon_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${kalmor_icon_svg} DESTINATION ${kalmor_icon_hicolor}/scalable/apps
        COMPONENT kalmor)
set(kalmor_icon_pngs)
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${kalmor_packaging_out}/icons/${size}x${size}/kalmor.png)
    add_custom_command(OUTPUT ${png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory
                               ${kalmor_packaging_out}/icons/${size}x${size}
                       COMMAND ${KALMOR_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                               ${kalmor_icon_svg}
                       DEPENDS ${kalmor_icon_svg}
                       COMMENT "Rendering the ${size}x${size} icon")
    list(APPEND kalmor_icon_pngs ${png})
    install(FILES ${png} DESTINATION ${kalmor_icon_hicolor}/${size}x${size}/apps
            COMPONENT kalmor)
endforeach()
add_custom_target(kalmor_icons ALL DEPENDS ${kalmor_icon_pngs})
