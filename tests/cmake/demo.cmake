# The unit tests check that the demo disc's title picture is one the launcher can show.
target_link_libraries(unit_tests PRIVATE demo_title_picture)
