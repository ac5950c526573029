# The Windows companion under Wine against a simulated scale loaded with the
# demo shop, beside the Linux companion reading the same scale through the
# pseudo-terminal behind the COM port: identify prints the same; plu-load and
# backup write the same files, stamped with Windows' regional forms, under
# names no single Windows code page holds; the Linux companion checks the
# Windows backup's sums. Both run with German forms, whose decimal comma
# reaches every price: on Linux from the locale, under Wine as a user who set
# them in the Control Panel over the English ones (a Wine locale of its own
# would need the glibc locale beside it, or file names lose their letters).
#
#   cmake -DWINE_RUN=... -DCLI=tallivos-cli.exe -DNATIVE_CLI=tallivos-cli -DPORT=COM15
#         -DDEVICE=<the pseudo-terminal> -DWORK=<a folder of its own> -P companion_check.cmake
foreach(variable WINE_RUN CLI NATIVE_CLI PORT DEVICE WORK)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not given")
  endif()
endforeach()
if(NOT EXISTS "${NATIVE_CLI}")
  message(FATAL_ERROR "no Linux companion at ${NATIVE_CLI}: build it first "
                      "(cmake --build --preset default --target tallivos-cli)")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(speed --speed 115200)
# Latin, Cyrillic and Greek letters, and the euro sign.
set(windows_plus "plu-Jürgen-Юрий-€.txt")
set(windows_backup "backup-Ελένη")
set(german ${CMAKE_COMMAND} -E env LC_ALL=de_DE.UTF-8)
set(wine_user ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${WINE_RUN})

# Runs a companion; its standard output in `out`; a failure ends the check.
function(companion out)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status
                  OUTPUT_VARIABLE printed ERROR_VARIABLE told)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nended with ${status}:\n${told}")
  endif()
  set(${out} "${printed}" PARENT_SCOPE)
endfunction()

# A PLU file's stamp line, and its bytes after the stamp as hex digits.
function(read_plu_file path stamp rest)
  file(READ "${path}" head LIMIT 80)
  string(REGEX MATCH "^[^\r\n]*" line "${head}")
  file(READ "${path}" hex HEX)
  string(FIND "${hex}" "0d0a" end)
  if(end LESS 0)
    message(FATAL_ERROR "${path} has no stamp line")
  endif()
  string(SUBSTRING "${hex}" ${end} -1 after)
  set(${stamp} "${line}" PARENT_SCOPE)
  set(${rest} "${after}" PARENT_SCOPE)
endfunction()

# The German forms as the user sets them in the Control Panel.
file(WRITE "${WORK}/german-forms.reg" "REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\International]\n"
     "\"sShortDate\"=\"dd.MM.yyyy\"\n\"sTimeFormat\"=\"HH:mm:ss\"\n\"sDecimal\"=\",\"\n\"sThousand\"=\".\"\n")
companion(ignored ${wine_user} reg import german-forms.reg)
set(german_stamp "^; created: [0-9][0-9]\\.[0-9][0-9]\\.[0-9][0-9][0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]$")

companion(windows_id ${wine_user} ${CLI} --port ${PORT} ${speed} identify)
companion(linux_id ${NATIVE_CLI} --port ${DEVICE} ${speed} identify)
if(NOT windows_id MATCHES "^SCALE ID: .+\nSTATUS:[0-9A-F][0-9A-F]\n$" OR NOT windows_id STREQUAL linux_id)
  message(FATAL_ERROR "identify under Wine printed\n${windows_id}\nand on Linux\n${linux_id}")
endif()

companion(ignored ${wine_user} ${CLI} --port ${PORT} ${speed} plu-load "${windows_plus}")
companion(ignored ${german} ${NATIVE_CLI} --port ${DEVICE} ${speed} plu-load linux-plus.txt)
read_plu_file("${WORK}/${windows_plus}" windows_stamp windows_rows)
read_plu_file("${WORK}/linux-plus.txt" linux_stamp linux_rows)
if(NOT windows_stamp MATCHES "${german_stamp}")
  message(FATAL_ERROR "plu-load under Wine stamped its file \"${windows_stamp}\"")
endif()
if(NOT windows_rows STREQUAL linux_rows)
  message(FATAL_ERROR "plu-load wrote other PLU lines under Wine than on Linux: compare ${WORK}/${windows_plus} "
                      "and ${WORK}/linux-plus.txt")
endif()
if(NOT linux_rows MATCHES "^0d0a0d0a.*2c") # the blank line, and prices with a decimal comma
  message(FATAL_ERROR "${WORK}/linux-plus.txt holds no PLU with a price")
endif()

companion(ignored ${wine_user} ${CLI} --port ${PORT} ${speed} --quiet backup "${windows_backup}")
read_plu_file("${WORK}/${windows_backup}/plus.txt" backup_stamp backup_rows)
if(NOT backup_stamp MATCHES "${german_stamp}" OR NOT backup_rows STREQUAL linux_rows)
  message(FATAL_ERROR "the backup under Wine holds another PLU file than plu-load writes: ${WORK}/${windows_backup}")
endif()
companion(plan ${german} ${NATIVE_CLI} --port ${DEVICE} restore "${windows_backup}" --dry-run)
if(NOT plan MATCHES "its sums are right")
  message(FATAL_ERROR "the Linux companion read the Windows backup as\n${plan}")
endif()
file(REMOVE_RECURSE "${WORK}")
