# Runs the fuzz target for a bounded time; fails on a crash, a sanitizer report
# or a broken round trip (the target aborts, libFuzzer exits non-zero).
foreach(v FUZZER CORPUS SECONDS)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "run_fuzz.cmake needs -D${v}=...")
  endif()
endforeach()
if(NOT EXISTS "${FUZZER}")
  message(FATAL_ERROR "fuzz target ${FUZZER} was not built (clang and libclang-rt-14-dev are needed: scripts/install-deps)")
endif()
file(MAKE_DIRECTORY "${CORPUS}")
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -max_len=4200
          -print_final_stats=1 "${CORPUS}"
  WORKING_DIRECTORY "${CORPUS}/.."
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzz target failed (exit ${rc}); the crashing input is in ${CORPUS}/..")
endif()
