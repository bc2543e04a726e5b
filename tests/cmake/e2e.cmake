# The end-to-end driver: where the build tree is (for launcher.exe, the demo game and the
# stand-in runtime) and the sources (the kit's disc template), the title picture it writes
# into its discs, drive D: for the scenario of a launcher in a drive's root, and a check of
# everything the launched programs logged.
if(WIN32 AND TARGET e2e_tests)
  target_compile_definitions(e2e_tests PRIVATE CORVANE_BUILD_DIR="${CMAKE_BINARY_DIR}"
    CORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  target_link_libraries(e2e_tests PRIVATE demo_title_picture)
  add_dependencies(e2e_tests demo_wing32)

  # D: shows C:\e2e\drive-d\ of the test prefix; the driver fills that folder itself.
  add_test(NAME e2e_drive_d
    COMMAND ln -sfn ../drive_c/e2e/drive-d ${CORVANE_WINEPREFIX}/dosdevices/d:)
  set_tests_properties(e2e_drive_d PROPERTIES
    FIXTURES_SETUP e2e_drive FIXTURES_REQUIRED wineprefix RUN_SERIAL TRUE)

  # The installer scenarios lock the system directory (chattr +i) while they run; a run that
  # is stopped there must not leave the prefix locked and undeletable.
  add_test(NAME e2e_unlock COMMAND sh -c "chattr -i \"$1\"/system32 \"$1\"/syswow64 2>/dev/null; true"
    unlock ${CORVANE_WINEPREFIX}/drive_c/windows)
  set_tests_properties(e2e_unlock PROPERTIES FIXTURES_CLEANUP e2e_drive RUN_SERIAL TRUE)

  # A crash of any program it starts fails the run too (corvane_add_wine_test).
  set_tests_properties(e2e PROPERTIES FIXTURES_REQUIRED "wineprefix;e2e_drive" TIMEOUT 300)
  # Wine's ANSI code page is 1252 under this locale, which the folder-name scenarios expect.
  set_property(TEST e2e APPEND PROPERTY ENVIRONMENT LANG=C.UTF-8)
endif()

# The shipped i686 launcher.exe itself, where this machine runs 32-bit code only emulated
# (scripts/test runs this tier, label i686, on its own): the same x86_64 driver and demo game
# start build/win32/launcher.exe in a 64-bit prefix of its own that has its 32-bit half. Each
# case is one launcher start, about a minute until its window shows: the demo picture painted
# pixel for pixel and Quit, a 4-bit RLE picture painted, Play installing wing32.dll into the
# 32-bit system directory and starting the game, the boxes of a missing autorun.inf and the
# class atom, a second start beside a window of the launcher's class ending with 1, and a
# held-open wing32.dll prompting Retry/Cancel, Retry then copying it.
if(WIN32 AND TARGET e2e_tests AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CORVANE_I686_LAUNCHER ${PROJECT_SOURCE_DIR}/build/win32/launcher.exe CACHE FILEPATH
    "The i686 launcher.exe that the i686 tier runs")
  set(prefix_i686 ${CMAKE_BINARY_DIR}/wineprefix-i686)
  add_test(NAME wineprefix_i686_setup COMMAND ${PROJECT_SOURCE_DIR}/scripts/prepare-prefix
    ${prefix_i686} win64 --with-emulated-32-bit)
  set_tests_properties(wineprefix_i686_setup PROPERTIES
    FIXTURES_SETUP wineprefix_i686 RUN_SERIAL TRUE LABELS i686 TIMEOUT 1200)
  add_test(NAME e2e_i686 COMMAND e2e_tests "--gtest_filter=*PicturePainted*/DemoTitleRle8:\
*PicturePainted*/Test100x80Rle4:*PlayInstalls*/NoneInstalled:*BadAutorun*/MissingFile:\
*SingleInstance*/WindowOfItsClass:Installer.HeldOpenTargetPromptsAndRetryCopiesOnceReleased")
  list(TRANSFORM CORVANE_WINE_ENV REPLACE "^WINEPREFIX=.*" "WINEPREFIX=${prefix_i686}"
    OUTPUT_VARIABLE env_i686)
  set_tests_properties(e2e_i686 PROPERTIES
    ENVIRONMENT "${env_i686};CORVANE_LAUNCHER=${CORVANE_I686_LAUNCHER};CORVANE_E2E_TIME_SCALE=20"
    FIXTURES_REQUIRED wineprefix_i686 RUN_SERIAL TRUE LABELS i686 TIMEOUT 1500
    FAIL_REGULAR_EXPRESSION "${CORVANE_WINE_CRASH};${no_test_ran}")
endif()
