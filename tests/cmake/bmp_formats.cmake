# Picture formats: the frozen 8-bit loader that compatibility tests compare with.
target_sources(test_support PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/bmp_legacy.cpp)
