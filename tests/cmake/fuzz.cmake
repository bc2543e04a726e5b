# The picture fuzz target. With clang on the host it is a libFuzzer program (ASan + UBSan)
# that the test "fuzz_bmp" runs for 30 seconds from the encoder's seeds and the public BMP
# suite, or from the seeds alone where there is no suite; tests/fuzz/README.md has the
# command for long runs. Every build also has a replay program that runs the same target
# without libFuzzer over the seeds ("fuzz_replay") and over the suite ("fuzz_replay_bmpsuite",
# skipped without it), so the Windows build runs them too (under Wine).
set(fuzz_src ${PROJECT_SOURCE_DIR}/tests/fuzz)

add_library(bmp_fuzz_seeds STATIC ${fuzz_src}/bmp_fuzz_seeds.cpp)
target_link_libraries(bmp_fuzz_seeds PUBLIC test_support)

add_executable(bmp_fuzz_replay ${fuzz_src}/bmp_fuzz_replay.cpp ${fuzz_src}/bmp_fuzz_target.cpp)
target_link_libraries(bmp_fuzz_replay PRIVATE bmp_fuzz_seeds bitmap_core)
if(WIN32)
  target_link_options(bmp_fuzz_replay PRIVATE -static)
  corvane_add_wine_test(fuzz_replay_on_windows bmp_fuzz_replay)
  corvane_add_wine_test(fuzz_replay_bmpsuite_on_windows bmp_fuzz_replay --bmpsuite ${bmp_suite})
  set(replay_suite_test fuzz_replay_bmpsuite_on_windows)
else()
  add_test(NAME fuzz_replay COMMAND bmp_fuzz_replay)
  add_test(NAME fuzz_replay_bmpsuite COMMAND bmp_fuzz_replay --bmpsuite ${bmp_suite})
  set(replay_suite_test fuzz_replay_bmpsuite)
endif()
# bmp_fuzz_replay --bmpsuite says "no BMP suite at ..." and ends with 77 when it is missing.
set_tests_properties(${replay_suite_test} PROPERTIES SKIP_RETURN_CODE 77)

if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # The core's sources are built into the target itself so that libFuzzer sees their
  # coverage.
  file(GLOB fuzz_core_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bitmap/*.cpp)
  list(FILTER fuzz_core_sources EXCLUDE REGEX "_win\\.cpp$")
  add_executable(bmp_fuzz ${fuzz_src}/bmp_fuzz_target.cpp ${fuzz_core_sources}
    ${PROJECT_SOURCE_DIR}/tests/support/bmp_legacy.cpp)
  target_include_directories(bmp_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(bmp_fuzz PRIVATE
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(bmp_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)

  add_executable(bmp_fuzz_write_seeds ${fuzz_src}/bmp_fuzz_write_seeds.cpp)
  target_link_libraries(bmp_fuzz_write_seeds PRIVATE bmp_fuzz_seeds)
  set(seed_dir ${CMAKE_CURRENT_BINARY_DIR}/fuzz_seeds)
  add_custom_command(OUTPUT ${seed_dir}/.written
    COMMAND ${CMAKE_COMMAND} -E make_directory ${seed_dir}
    COMMAND bmp_fuzz_write_seeds ${seed_dir}
    COMMAND ${CMAKE_COMMAND} -E touch ${seed_dir}/.written
    DEPENDS bmp_fuzz_write_seeds VERBATIM)
  add_custom_target(bmp_fuzz_seed_corpus ALL DEPENDS ${seed_dir}/.written)
  add_dependencies(bmp_fuzz bmp_fuzz_seed_corpus)

  # New inputs that libFuzzer finds go into the first directory, kept in the build tree.
  set(corpus_dir ${CMAKE_CURRENT_BINARY_DIR}/fuzz_corpus)
  add_test(NAME fuzz_bmp_corpus COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus_dir})
  set_tests_properties(fuzz_bmp_corpus PROPERTIES FIXTURES_SETUP bmp_fuzz_corpus)
  # The suite's folders join the seeds where they exist (libFuzzer refuses a missing one).
  add_test(NAME fuzz_bmp
    COMMAND sh -c [=[
      suite=$1; shift
      [ -d "$suite" ] || echo "no BMP suite at $suite: fuzzing from the generated seeds alone"
      for d in g q b; do [ ! -d "$suite/$d" ] || set -- "$@" "$suite/$d"; done
      exec "$@"]=] fuzz_bmp ${bmp_suite}
      $<TARGET_FILE:bmp_fuzz> -max_total_time=30 -timeout=10 -rss_limit_mb=2048
      -print_final_stats=1 ${corpus_dir} ${seed_dir})
  set_tests_properties(fuzz_bmp PROPERTIES FIXTURES_REQUIRED bmp_fuzz_corpus TIMEOUT 120)
endif()
