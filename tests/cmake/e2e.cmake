# The end-to-end driver: where the build tree is (for launcher.exe, the demo game and the
# stand-in runtime), the title picture it writes into its discs, drive D: for the scenario of
# a launcher in a drive's root, and a check of everything the launched programs logged.
if(WIN32 AND TARGET e2e_tests)
  target_compile_definitions(e2e_tests PRIVATE CORVANE_BUILD_DIR="${CMAKE_BINARY_DIR}")
  target_link_libraries(e2e_tests PRIVATE demo_title_picture)
  add_dependencies(e2e_tests demo_wing32)

  # D: shows C:\e2e\drive-d\ of the test prefix; the driver fills that folder itself.
  add_test(NAME e2e_drive_d
    COMMAND ln -sfn ../drive_c/e2e/drive-d ${CORVANE_WINEPREFIX}/dosdevices/d:)
  set_tests_properties(e2e_drive_d PROPERTIES
    FIXTURES_SETUP e2e_drive FIXTURES_REQUIRED wineprefix RUN_SERIAL TRUE)

  # Wine logs (with WINEDEBUG=warn+seh) every exception that a launched program raises, also
  # those it swallows inside a window procedure; any with an error code (0xC...) fails the run.
  # Wine's own RPC exception 0x6BA is not one of them.
  set(hex "[0-9a-fA-F]")
  set_tests_properties(e2e PROPERTIES
    FIXTURES_REQUIRED "wineprefix;e2e_drive"
    FAIL_REGULAR_EXPRESSION "code=[cC]${hex}${hex}${hex}${hex}${hex}${hex}${hex}\\)"
    TIMEOUT 300)
endif()
