# The disc checker: its core in the unit tests; under Wine, the checker run on the demo disc
# and on broken copies of it (end-to-end driver), and the demo disc's CD image: made with
# scripts/make-iso from the demo disc's files (mkdisc under Wine), read back with xorriso,
# extracted and played through the end-to-end driver from a CD-ROM drive E: of the prefix.
target_link_libraries(unit_tests PRIVATE disccheck_core)
if(WIN32 AND TARGET e2e_tests)
  add_dependencies(e2e_tests disccheck mkdisc demo_disc)
  corvane_add_wine_test(cd_image ${PROJECT_SOURCE_DIR}/tests/cd_image_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(cd_image PROPERTIES TIMEOUT 120)
endif()
