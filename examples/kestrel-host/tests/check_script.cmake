# Runs `kestrel-host shell SCRIPT` and checks its exit status and output
# against EXPECT, whose lines are
#   exit <status>
#   stdout <regular expression>      must match somewhere in standard output
#   stderr <regular expression>      must match somewhere in standard error
#   stderr-count <n> <regex>         matches exactly n times in standard error
# (# starts a comment line).
foreach(var HOST SCRIPT EXPECT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_script.cmake needs -D${var}=...")
  endif()
endforeach()

# EMULATOR: what runs HOST where it cannot run by itself (Wine, for the
# Windows build); Windows ends its lines with CR LF.
execute_process(COMMAND ${EMULATOR} ${HOST} shell ${SCRIPT}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 90)
string(REPLACE "\r" "" out "${out}")
string(REPLACE "\r" "" err "${err}")

file(STRINGS ${EXPECT} lines)
set(failures "")
foreach(line IN LISTS lines)
  if(line MATCHES "^#" OR line STREQUAL "")
    continue()
  elseif(line MATCHES "^exit ([0-9]+)$")
    if(NOT status STREQUAL "${CMAKE_MATCH_1}")
      string(APPEND failures "exit status ${status}, expected ${CMAKE_MATCH_1}\n")
    endif()
  elseif(line MATCHES "^stdout (.*)$")
    set(regex "${CMAKE_MATCH_1}")
    if(NOT out MATCHES "${regex}")
      string(APPEND failures "stdout lacks: ${regex}\n")
    endif()
  elseif(line MATCHES "^stderr-count ([0-9]+) (.*)$")
    set(want ${CMAKE_MATCH_1})
    set(regex "${CMAKE_MATCH_2}")
    string(REGEX MATCHALL "${regex}" found "${err}")
    list(LENGTH found n)
    if(NOT n EQUAL want)
      string(APPEND failures "stderr has ${n} x '${regex}', expected ${want}\n")
    endif()
  elseif(line MATCHES "^stderr (.*)$")
    set(regex "${CMAKE_MATCH_1}")
    if(NOT err MATCHES "${regex}")
      string(APPEND failures "stderr lacks: ${regex}\n")
    endif()
  else()
    message(FATAL_ERROR "bad line in ${EXPECT}: ${line}")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}\n--- stdout ---\n${out}\n--- stderr ---\n${err}")
endif()
message(STATUS "${SCRIPT}: as expected")
