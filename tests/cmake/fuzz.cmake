# The picture fuzz targets. With clang on the host they are libFuzzer programs (ASan + UBSan)
# that the tests "fuzz_bmp" (the core) and "fuzz_dib_load" (the whole load) run for 30 seconds
# each from the encoder's seeds and the public BMP suite, or from the seeds alone where there
# is no suite; tests/fuzz/README.md has the commands for long runs. Every build also has a replay program that runs the same target
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
  # The core's sources are built into each target itself so that libFuzzer sees their
  # coverage.
  file(GLOB fuzz_core_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bitmap/*.cpp)
  list(FILTER fuzz_core_sources EXCLUDE REGEX "_win\\.cpp$")
  function(corvane_libfuzzer_target target)
    add_executable(${target} ${ARGN} ${fuzz_core_sources})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${target} PRIVATE
      -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    add_dependencies(${target} bmp_fuzz_seed_corpus)
  endfunction()
  corvane_libfuzzer_target(bmp_fuzz ${fuzz_src}/bmp_fuzz_target.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/bmp_legacy.cpp)

  add_executable(bmp_fuzz_write_seeds ${fuzz_src}/bmp_fuzz_write_seeds.cpp)
  target_link_libraries(bmp_fuzz_write_seeds PRIVATE bmp_fuzz_seeds)
  set(seed_dir ${CMAKE_CURRENT_BINARY_DIR}/fuzz_seeds)
  add_custom_command(OUTPUT ${seed_dir}/.written
    COMMAND ${CMAKE_COMMAND} -E make_directory ${seed_dir}
    COMMAND bmp_fuzz_write_seeds ${seed_dir}
    COMMAND ${CMAKE_COMMAND} -E touch ${seed_dir}/.written
    DEPENDS bmp_fuzz_write_seeds VERBATIM)
  add_custom_target(bmp_fuzz_seed_corpus ALL DEPENDS ${seed_dir}/.written)

  # A libFuzzer target run for 30 seconds as test NAME from the seeds and the suite's folders
  # where they exist (libFuzzer refuses a missing one). New inputs that libFuzzer finds go into
  # the first directory, its own corpus, kept in the build tree.
  function(corvane_add_fuzz_test name target corpus_dir)
    add_test(NAME ${name}_corpus COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus_dir})
    set_tests_properties(${name}_corpus PROPERTIES FIXTURES_SETUP ${name}_corpus)
    add_test(NAME ${name}
      COMMAND sh -c [=[
        suite=$1; shift
        [ -d "$suite" ] || echo "no BMP suite at $suite: fuzzing from the generated seeds alone"
        for d in g q b; do [ ! -d "$suite/$d" ] || set -- "$@" "$suite/$d"; done
        exec "$@"]=] ${name} ${bmp_suite}
        $<TARGET_FILE:${target}> -max_total_time=30 -timeout=10 -rss_limit_mb=2048
        -print_final_stats=1 ${corpus_dir} ${seed_dir})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${name}_corpus TIMEOUT 120)
  endfunction()
  corvane_add_fuzz_test(fuzz_bmp bmp_fuzz ${CMAKE_CURRENT_BINARY_DIR}/fuzz_corpus)

  # The whole load (file reader, LoadDib, FreeDib): the Windows files of bitmap/ and the
  # global-memory helper of common/, unchanged, against a stand-in for the Win32 calls they
  # make, from the same seeds.
  corvane_libfuzzer_target(dib_load_fuzz ${fuzz_src}/dib_load_fuzz_target.cpp
    ${fuzz_src}/win32_standin.cpp ${PROJECT_SOURCE_DIR}/bitmap/file_reader_win.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/dib_win.cpp ${PROJECT_SOURCE_DIR}/common/global_memory_win.cpp)
  target_include_directories(dib_load_fuzz BEFORE PRIVATE ${fuzz_src}/win32_standin)
  corvane_add_fuzz_test(fuzz_dib_load dib_load_fuzz ${CMAKE_CURRENT_BINARY_DIR}/fuzz_corpus_load)

  # The rule that picks the game's program out of game= (launcher/launch_paths.cpp), from any
  # value and any files on the disc, for 30 seconds from an empty corpus.
  corvane_libfuzzer_target(game_rule_fuzz ${fuzz_src}/game_rule_fuzz_target.cpp
    ${PROJECT_SOURCE_DIR}/launcher/launch_paths.cpp ${PROJECT_SOURCE_DIR}/common/path_join.cpp)
  set(game_rule_corpus ${CMAKE_CURRENT_BINARY_DIR}/fuzz_corpus_game_rule)
  add_test(NAME fuzz_game_rule COMMAND sh -c "mkdir -p \"$1\" && shift && exec \"$@\""
    fuzz_game_rule ${game_rule_corpus} $<TARGET_FILE:game_rule_fuzz> -max_total_time=30
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 ${game_rule_corpus})
  set_tests_properties(fuzz_game_rule PROPERTIES TIMEOUT 120)
endif()
