# mktitle: its core in the unit tests; under Wine, mktitle.exe on pictures ImageMagick makes
# (tests/mktitle_test.sh).
target_link_libraries(unit_tests PRIVATE mktitle_core)
if(WIN32 AND TARGET e2e_tests)
  add_dependencies(e2e_tests mktitle)
  find_program(CORVANE_CONVERT convert)
  corvane_add_wine_test(mktitle ${PROJECT_SOURCE_DIR}/tests/mktitle_test.sh ${CMAKE_BINARY_DIR}
    ${CORVANE_CONVERT})
  set_tests_properties(mktitle PROPERTIES TIMEOUT 180)
endif()
