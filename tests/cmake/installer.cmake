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
  foreach(user win32_tests e2e_tests)
    if(TARGET ${user})
      add_dependencies(${user} installer_standins)
      target_compile_definitions(${user} PRIVATE CORVANE_STANDIN_DIR="${CORVANE_STANDIN_DIR}")
    endif()
  endforeach()
endif()
