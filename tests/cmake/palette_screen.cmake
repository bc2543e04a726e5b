# The startup window's palette messages on a 256-colour screen: the Windows tests' palette test
# under an 8-bit display (tests/palette_screen_test.sh). Skipped there means no palette device.
if(WIN32 AND TARGET win32_tests)
  corvane_add_wine_test(palette_screen
    ${PROJECT_SOURCE_DIR}/tests/palette_screen_test.sh $<TARGET_FILE:win32_tests>)
  set_tests_properties(palette_screen PROPERTIES TIMEOUT 120
    FAIL_REGULAR_EXPRESSION "\\[  SKIPPED \\];${no_test_ran};${CORVANE_WINE_CRASH}")
endif()
