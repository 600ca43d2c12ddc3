# Runs one fuzzer for a bounded time over its seed corpus, without writing
# into the source tree: new inputs go to a scratch folder in the build tree.
#   cmake -DFUZZER=<program> -DSEEDS=<folder> -DSCRATCH=<folder> -DSECONDS=<n> -P run_fuzzer.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/corpus ${SCRATCH}/artifacts)
execute_process(
  COMMAND ${FUZZER} ${SCRATCH}/corpus ${SEEDS} -max_total_time=${SECONDS} -max_len=4096
          -artifact_prefix=${SCRATCH}/artifacts/ -print_final_stats=1
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${SCRATCH}/artifacts")
endif()
