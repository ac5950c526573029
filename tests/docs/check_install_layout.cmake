# Installs the build into a fresh folder and checks what a Linux desktop needs
# to offer the program: the program itself, its command-line companion and the
# simulated scale, a valid desktop entry whose Exec and Icon name what was
# installed, and the icon at every size it claims.
#
#   cmake -DBUILD_DIR=<build folder> -DPREFIX=<empty folder> -P check_install_layout.cmake

set(app tallivos-utility)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${error}")
endif()

function(expect_file path)
  if(NOT EXISTS ${PREFIX}/${path})
    message(SEND_ERROR "not installed: ${path}")
  endif()
endfunction()

# The program, the companion and the simulated scale, runnable by everyone.
foreach(program ${app} tallivos-cli scale-sim)
  expect_file(bin/${program})
  if(EXISTS ${PREFIX}/bin/${program})
    file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${PREFIX}/bin/${program} RESOLVED_DEPENDENCIES_VAR ignored
         UNRESOLVED_DEPENDENCIES_VAR unresolved)
    if(unresolved)
      message(SEND_ERROR "the installed ${program} needs libraries that cannot be found: ${unresolved}")
    endif()
  endif()
endforeach()

# The installed simulated scale carries the demo shop: started with --demo and
# its input closed at once, it names its device and dumps the shop's memory.
if(EXISTS ${PREFIX}/bin/scale-sim)
  set(dump ${PREFIX}/demo-dump.txt)
  execute_process(COMMAND ${PREFIX}/bin/scale-sim --demo --stdin --dump ${dump}
                  INPUT_FILE /dev/null RESULT_VARIABLE result OUTPUT_VARIABLE device ERROR_VARIABLE error
                  TIMEOUT 10)
  file(READ ${dump} memory)
  if(NOT result EQUAL 0 OR NOT device MATCHES "^/dev/" OR NOT memory MATCHES "name=\"Apples Braeburn\"")
    message(SEND_ERROR "the installed scale-sim --demo does not serve the demo shop: ${result} ${device} ${error}")
  endif()
  file(REMOVE ${dump})
endif()

# The desktop entry names the installed program and icon.
set(entry ${PREFIX}/share/applications/${app}.desktop)
expect_file(share/applications/${app}.desktop)
# Read whole: a list of lines would split Categories at its semicolons.
file(READ ${entry} content)
function(entry_value key out)
  if(content MATCHES "(^|\n)${key}=([^\n]*)")
    set(${out} "${CMAKE_MATCH_2}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()
entry_value(Name name)
entry_value(Exec exec)
entry_value(Icon icon)
entry_value(Categories categories)
string(REGEX REPLACE " .*" "" exec "${exec}") # the program, without its arguments
if(NOT name STREQUAL "Tallivos Utility")
  message(SEND_ERROR "desktop entry Name is '${name}'")
endif()
get_filename_component(exec_name "${exec}" NAME)
if(NOT EXISTS ${PREFIX}/bin/${exec_name})
  message(SEND_ERROR "desktop entry runs '${exec}', which is not installed in bin/")
endif()
if(NOT "${categories}" MATCHES "(^|;)Utility;")
  message(SEND_ERROR "desktop entry is not in the Utility menu: '${categories}'")
endif()
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} ${entry} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0 OR out MATCHES "error")
    message(SEND_ERROR "desktop-file-validate: ${out}")
  endif()
endif()

# The icon theme looks the icon up by name, size by size; a PNG in a folder
# of the wrong size is scaled or skipped.
expect_file(share/icons/hicolor/scalable/apps/${icon}.svg)
foreach(size 48 128 256)
  set(png ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${icon}.png)
  if(NOT EXISTS ${png})
    message(SEND_ERROR "no ${size}x${size} icon named '${icon}'")
    continue()
  endif()
  # PNG: 8-byte signature, then the IHDR chunk with width and height (big-endian).
  file(READ ${png} header OFFSET 0 LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(SEND_ERROR "${size}x${size} icon is a ${width}x${height} picture (signature ${signature})")
  endif()
endforeach()
