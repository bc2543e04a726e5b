# The disc checker: its core in the unit tests; under Wine, the checker run on the demo disc
# and on broken copies of it (end-to-end driver), and the demo disc's CD image, read back,
# extracted and played from a CD-ROM drive of the test prefix.
target_link_libraries(unit_tests PRIVATE disccheck_core)
if(WIN32 AND TARGET e2e_tests)
  add_dependencies(e2e_tests disccheck)
endif()
