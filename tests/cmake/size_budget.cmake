# The shipped file's size budget: launcher.exe for i686 may take at most 19 KiB on the disc
# (the aim is 16 KiB). Measured is the image Windows loads, headers and sections up to the end
# of the last section's data: not a symbol table the link left, nor the certificate table that
# signing appends after the image (which Windows 95 never reads).
#
# This file is both the rule that registers the test (included by tests/CMakeLists.txt) and
# the check the test runs (cmake -P with FILE set; the signed kit's test runs it too).
set(BUDGET 19456)
if(CMAKE_SCRIPT_MODE_FILE)
  # The unsigned little-endian number of length bytes at offset (an expression).
  function(read_number offset length out)
    math(EXPR offset "${offset}")
    file(READ ${FILE} hex OFFSET ${offset} LIMIT ${length} HEX)
    string(REGEX MATCHALL ".." bytes "${hex}")
    list(REVERSE bytes)
    string(JOIN "" hex ${bytes})
    math(EXPR value "0x${hex}")
    set(${out} ${value} PARENT_SCOPE)
  endfunction()
  read_number(60 4 pe)
  read_number(${pe} 4 signature)
  if(NOT signature EQUAL 17744) # "PE\0\0"
    message(FATAL_ERROR "${FILE} is no PE program")
  endif()
  read_number("${pe} + 6" 2 sections)
  read_number("${pe} + 20" 2 optional)
  read_number("${pe} + 24 + 60" 4 size) # SizeOfHeaders
  foreach(i RANGE 1 ${sections})
    set(entry "${pe} + 24 + ${optional} + 40 * (${i} - 1)")
    read_number("${entry} + 16" 4 raw_size)
    read_number("${entry} + 20" 4 raw_offset)
    math(EXPR end "${raw_offset} + ${raw_size}")
    if(end GREATER size)
      set(size ${end})
    endif()
  endforeach()
  file(SIZE ${FILE} file_size)
  math(EXPR tenths "${size} * 10 / 1024")
  math(EXPR whole "${tenths} / 10")
  math(EXPR tenth "${tenths} % 10")
  message("${FILE}: image ${size} bytes (${whole}.${tenth} KiB) of a ${file_size}-byte file, "
          "budget ${BUDGET} bytes")
  if(size GREATER BUDGET)
    math(EXPR over "${size} - ${BUDGET}")
    message(FATAL_ERROR "launcher.exe is ${over} bytes over its budget of ${BUDGET} bytes")
  endif()
  return()
endif()

if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_test(NAME size_budget
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:launcher> -P ${CMAKE_CURRENT_LIST_FILE})
endif()
