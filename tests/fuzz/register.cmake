# Included by the native tree when ROMPROG_FUZZ_BUILD names the fuzz tree:
# each fuzzer there runs as a test for a bounded time over its seeds.
set(ROMPROG_FUZZ_SECONDS 20 CACHE STRING "How long each fuzzer runs in the tests")

foreach(target read_intel_hex read_intel_hex_strict file_extension read_srecords read_dat)
  add_test(NAME fuzz.${target}
    COMMAND ${CMAKE_COMMAND}
      -DFUZZER=${ROMPROG_FUZZ_BUILD}/tests/fuzz/fuzz_${target}
      -DSEEDS=${CMAKE_CURRENT_LIST_DIR}/corpus/${target}
      -DSCRATCH=${CMAKE_BINARY_DIR}/fuzz-runs/${target}
      -DSECONDS=${ROMPROG_FUZZ_SECONDS}
      -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
  set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 300)
endforeach()
