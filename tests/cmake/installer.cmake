# Stand-in wing32.dll files for the installer tests, each in a directory of its own under
# <build>/standin, named after its FILEVERSION; "none" carries no version resource and
# "top" has the top bit of dwFileVersionMS set.
if(WIN32)
  set(CORVANE_STANDIN_DIR ${CMAKE_BINARY_DIR}/standin)
  corvane_standin_dll(standin_wing32_v1000 ${CORVANE_STANDIN_DIR}/v1000 "1,0,0,0")
  corvane_standin_dll(standin_wing32_v1001 ${CORVANE_STANDIN_DIR}/v1001 "1,0,0,1")
  corvane_standin_dll(standin_wing32_v2000 ${CORVANE_STANDIN_DIR}/v2000 "2,0,0,0")
  corvane_standin_dll(standin_wing32_v1234 ${CORVANE_STANDIN_DIR}/v1234 "1,2,3,4")
  corvane_standin_dll(standin_wing32_top ${CORVANE_STANDIN_DIR}/top "32768,0,0,0")
  corvane_standin_dll(standin_wing32_none ${CORVANE_STANDIN_DIR}/none "")
  # Each DLL's import library goes beside it, so that the six do not collide.
  foreach(dir v1000 v1001 v2000 v1234 top none)
    set_target_properties(standin_wing32_${dir} PROPERTIES
      ARCHIVE_OUTPUT_DIRECTORY ${CORVANE_STANDIN_DIR}/${dir}/lib)
  endforeach()
  add_custom_target(installer_standins DEPENDS
    standin_wing32_v1000 standin_wing32_v1001 standin_wing32_v2000
    standin_wing32_v1234 standin_wing32_top standin_wing32_none)

  # Two stand-ins whose version resource is written byte by byte, with a root block that
  # is shorter than VS_FIXEDFILEINFO: "rootzero" has none (length 0), "rootshort" only 8
  # bytes (signature and structure version). GNU windres refuses the second, so the .res
  # from llvm-rc becomes an object through llvm-cvtres.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(cvtres_machine X64)
  else()
    set(cvtres_machine X86)
  endif()
  set(raw_rootzero "40, 0, 0, L\"VS_VERSION_INFO\\0\", 0")
  set(raw_rootshort "48, 8, 0, L\"VS_VERSION_INFO\\0\", 0, 0xFEEF04BDL, 0x00010000L")
  foreach(dir rootzero rootshort)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/standin_${dir}.rc)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/standin_${dir}.obj)
    file(WRITE ${rc} "1 16\nBEGIN\n  ${raw_${dir}}\nEND\n")
    add_custom_command(OUTPUT ${obj}
      COMMAND llvm-rc -FO ${CMAKE_CURRENT_BINARY_DIR}/standin_${dir}.res -- ${rc}
      COMMAND llvm-cvtres /MACHINE:${cvtres_machine} /OUT:${obj} --
              ${CMAKE_CURRENT_BINARY_DIR}/standin_${dir}.res
      DEPENDS ${rc} VERBATIM)
    corvane_standin_dll(standin_wing32_${dir} ${CORVANE_STANDIN_DIR}/${dir} "")
    target_sources(standin_wing32_${dir} PRIVATE ${obj})
    set_target_properties(standin_wing32_${dir} PROPERTIES
      ARCHIVE_OUTPUT_DIRECTORY ${CORVANE_STANDIN_DIR}/${dir}/lib)
    add_dependencies(installer_standins standin_wing32_${dir})
  endforeach()

  # A version.dll to plant beside the launcher: each call of the version read's three
  # functions is recorded (tests/support/planted_version_dll.c).
  add_library(planted_version SHARED ${PROJECT_SOURCE_DIR}/tests/support/planted_version_dll.c)
  set_target_properties(planted_version PROPERTIES OUTPUT_NAME version PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted/lib)
  target_link_options(planted_version PRIVATE -static -s -Wl,--kill-at)
  add_dependencies(installer_standins planted_version)

  foreach(user win32_tests e2e_tests)
    if(TARGET ${user})
      add_dependencies(${user} installer_standins)
      target_compile_definitions(${user} PRIVATE CORVANE_STANDIN_DIR="${CORVANE_STANDIN_DIR}")
    endif()
  endforeach()
endif()
