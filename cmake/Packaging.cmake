# Installing and packaging the program for a Linux desktop.
#
# `cmake --install` puts the program, its command-line companion tallivos-cli
# (cli/CMakeLists.txt) and, where it is built, the simulated scale scale-sim
# (sim/CMakeLists.txt) in bin/, the program's desktop entry in
# share/applications/ and its icon in the hicolor theme, where desktop menus
# find them. `cpack -G DEB` (see scripts/package) makes a Debian package of the
# same files, installed under /usr, with its library dependencies worked out
# from the program itself.
#
# An installed program's folder cannot be written by its user, so the program
# keeps its saved state in the user's configuration folder instead. The demo
# scale needs nothing installed beside it: the demo shop is compiled into the
# program and into scale-sim.

if(NOT TALLIVOS_BUILD_GUI)
  return()
endif()

include(GNUInstallDirs)

# A package holds only the programs: installing must not wait for the tests,
# benchmarks and fuzz targets of the same build folder to be built first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TALLIVOS_APP_ID tallivos-utility)

# Desktop menus on Linux and the other free desktops read these; Windows has
# no use for them.
if(UNIX AND NOT APPLE)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${TALLIVOS_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${TALLIVOS_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${TALLIVOS_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TALLIVOS_APP_ID}.png)
  endforeach()
endif()

# The licence, where Debian keeps each package's copyright notice.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${TALLIVOS_APP_ID} RENAME copyright)

set(TALLIVOS_PACKAGE_MAINTAINER "Tallivos Utility maintainers <maintainers@tallivos.invalid>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME ${TALLIVOS_APP_ID})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tallivos")
set(CPACK_PACKAGE_CONTACT ${TALLIVOS_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service utility for a retail counter scale")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads and writes what a retail counter scale holds over a serial port: "
    "the PLU table, the settings, the clock, the sales report, the calibration "
    "parameters and the receipt logo, and mirrors the scale's display in a "
    "remote terminal. The command-line companion tallivos-cli does the same "
    "for scheduled jobs, and backs up and restores a whole scale. A demo scale "
    "built in (DEMO SCALE in the port list) lets the program be tried and "
    "learned without a scale, practice faults included; scale-sim serves the "
    "same simulated scale on a pseudo-terminal for scripted demos.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR ZIP)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tallivos-utility_1.62_amd64.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TALLIVOS_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends comes from the libraries the program links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
