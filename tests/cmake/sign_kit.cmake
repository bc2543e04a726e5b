# Signing the author's kit with a certificate made in the test. The x86_64 tree signs the kit
# of the i686 tree beside it and starts it in the i686 tier's prefix (label i686).
if(WIN32 AND TARGET e2e_tests)
  set(sign_test ${PROJECT_SOURCE_DIR}/tests/sign_kit_test.sh)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    corvane_add_wine_test(sign_kit ${sign_test} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}
      ${CMAKE_OBJDUMP} $<TARGET_FILE:e2e_tests>)
    set_tests_properties(sign_kit PROPERTIES FIXTURES_REQUIRED "wineprefix;e2e_drive")
    set_property(TEST sign_kit APPEND PROPERTY FAIL_REGULAR_EXPRESSION "${no_test_ran}")
  else()
    get_filename_component(kit_dir ${CORVANE_I686_LAUNCHER} DIRECTORY)
    add_test(NAME sign_kit_i686 COMMAND ${sign_test} ${kit_dir} ${CMAKE_BINARY_DIR}
      ${CMAKE_OBJDUMP} $<TARGET_FILE:e2e_tests>)
    list(TRANSFORM CORVANE_WINE_ENV REPLACE "^WINEPREFIX=.*"
      "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-i686" OUTPUT_VARIABLE sign_env)
    set_tests_properties(sign_kit_i686 PROPERTIES
      ENVIRONMENT "${sign_env};CORVANE_E2E_TIME_SCALE=20"
      FIXTURES_REQUIRED wineprefix_i686 RUN_SERIAL TRUE LABELS i686 TIMEOUT 1500
      FAIL_REGULAR_EXPRESSION "${CORVANE_WINE_CRASH};${no_test_ran}")
  endif()
endif()
