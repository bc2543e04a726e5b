# The launcher's resources (dialog 200, strings 400/402, icon group "(100)", version) also go
# into the Windows test program, so that tests read them through the real resource calls and
# build the startup dialog from the real template.
if(WIN32 AND TARGET win32_tests)
  target_link_libraries(win32_tests PRIVATE corvane_resources)
endif()
