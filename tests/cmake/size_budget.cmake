# The shipped file's size budget: launcher.exe for i686 may take at most 19 KiB on the disc
# (the aim is 16 KiB). Only the i686 build is measured, since that is the file that ships.
# What is measured is the image Windows loads: its headers and sections up to the end of the
# last section's data. A symbol table the link left, or the certificate table that signing
# appends after the image (Windows 95 never reads it), is not part of it.
#
# This file is both the rule that registers the test (included by tests/CMakeLists.txt) and
# the check the test runs (cmake -P, with FILE and BUDGET set).
if(CMAKE_SCRIPT_MODE_FILE)
  # The unsigned little-endian number of length bytes at offset.
  function(read_number offset length out)
    file(READ ${FILE} hex OFFSET ${offset} LIMIT ${length} HEX)
    set(value 0)
    math(EXPR i "${length} - 1")
    while(i GREATER_EQUAL 0)
      math(EXPR at "${i} * 2")
      string(SUBSTRING "${hex}" ${at} 2 byte)
      math(EXPR value "${value} * 256 + 0x${byte}")
      math(EXPR i "${i} - 1")
    endwhile()
    set(${out} ${value} PARENT_SCOPE)
  endfunction()
  read_number(60 4 pe)
  read_number(${pe} 4 signature)
  if(NOT signature EQUAL 17744) # "PE\0\0"
    message(FATAL_ERROR "${FILE} is no PE program")
  endif()
  math(EXPR at "${pe} + 6")
  read_number(${at} 2 sections)
  math(EXPR at "${pe} + 20")
  read_number(${at} 2 optional)
  math(EXPR at "${pe} + 24 + 60")
  read_number(${at} 4 size) # SizeOfHeaders
  math(EXPR table "${pe} + 24 + ${optional}")
  foreach(i RANGE 1 ${sections})
    math(EXPR at "${table} + 40 * (${i} - 1) + 16")
    read_number(${at} 4 raw_size)
    math(EXPR at "${at} + 4")
    read_number(${at} 4 raw_offset)
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
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:launcher> -DBUDGET=19456
            -P ${CMAKE_CURRENT_LIST_FILE})
endif()
