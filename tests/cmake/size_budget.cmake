# The shipped file's size budget: launcher.exe for i686, stripped, may take at most 20 KiB on
# the disc (the aim is 16 KiB). Only the i686 build is measured, since that is the file that
# ships. The link already strips it; the check strips a copy anyway, so that the measure does
# not hang on the link options, and fails when the copy is larger than the budget.
#
# This file is both the rule that registers the test (included by tests/CMakeLists.txt) and
# the check the test runs (cmake -P, with FILE, STRIP, COPY and BUDGET set).
if(CMAKE_SCRIPT_MODE_FILE)
  file(COPY_FILE ${FILE} ${COPY})
  execute_process(COMMAND ${STRIP} -- ${COPY} RESULT_VARIABLE strip_result)
  if(NOT strip_result EQUAL 0)
    message(FATAL_ERROR "${STRIP} failed on ${COPY}: ${strip_result}")
  endif()
  file(SIZE ${COPY} size)
  math(EXPR tenths "${size} * 10 / 1024")
  math(EXPR whole "${tenths} / 10")
  math(EXPR tenth "${tenths} % 10")
  message("${FILE}: ${size} bytes stripped (${whole}.${tenth} KiB), budget ${BUDGET} bytes")
  if(size GREATER BUDGET)
    math(EXPR over "${size} - ${BUDGET}")
    message(FATAL_ERROR "launcher.exe is ${over} bytes over its budget of ${BUDGET} bytes")
  endif()
  return()
endif()

if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_test(NAME size_budget
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:launcher> -DSTRIP=${CMAKE_STRIP}
            -DCOPY=${CMAKE_CURRENT_BINARY_DIR}/launcher-stripped.exe -DBUDGET=20480
            -P ${CMAKE_CURRENT_LIST_FILE})
endif()
