# Running the Windows programs of a cross build here, under Wine.
#
# Every program of the build runs through ${PROJECT_BINARY_DIR}/wine-run, which
# gives it the build's own Wine prefix (never the user's ~/.wine), no Wine
# debug output, and no offer to install Wine's .NET or browser parts. ctest
# uses it for every test program and for any other program a test starts
# (add_test(... COMMAND <target> ...) picks it up by itself).

find_program(TALLIVOS_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CACHE)
find_program(TALLIVOS_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_CACHE)
if(NOT TALLIVOS_WINE OR NOT TALLIVOS_WINESERVER)
  if(TALLIVOS_BUILD_TESTS)
    message(FATAL_ERROR "The Windows tests run under Wine, which is not installed (Debian package wine64); "
                        "configure with -DTALLIVOS_BUILD_TESTS=OFF to build without them")
  endif()
  return()
endif()

set(TALLIVOS_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix)
set(TALLIVOS_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run)
configure_file(${PROJECT_SOURCE_DIR}/tests/windows/wine-run.in ${TALLIVOS_WINE_RUN} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLIVOS_WINE_RUN})
set(TALLIVOS_WINE_TESTS ON)
