# The start-up timer's portable half (judging captured frames, summing up timings) is checked
# by the unit tests, on the host and under Wine.
target_sources(unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/bench/startup/startup_measure.cpp)
