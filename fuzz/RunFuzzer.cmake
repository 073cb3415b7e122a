# Runs one libFuzzer program for SECONDS, from its seeds and regressions (in SOURCE);
# the corpus it grows is kept in WORK. A finding fails the test: its input is kept in
# FINDINGS and printed in hex (xxd -r -p turns it back into the file), to go into
# SOURCE/regressions/ once the fault is mended.
file(REMOVE_RECURSE ${FINDINGS})
file(MAKE_DIRECTORY ${WORK} ${FINDINGS})
set(inputs ${WORK} ${SOURCE}/corpus)
if(IS_DIRECTORY ${SOURCE}/regressions)
  list(APPEND inputs ${SOURCE}/regressions)
endif()
set(log ${FINDINGS}/../${NAME}.log)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -max_len=4096
    -artifact_prefix=${FINDINGS}/ -print_final_stats=1 ${inputs}
  OUTPUT_FILE ${log} ERROR_FILE ${log} RESULT_VARIABLE result)

file(STRINGS ${log} lines)
list(FILTER lines INCLUDE REGEX "^stat::|^Done |^INFO: seed corpus|property failed|ERROR|SUMMARY")
list(JOIN lines "\n" summary)
message("${summary}")
if(NOT result EQUAL 0)
  file(STRINGS ${log} all)
  list(LENGTH all count)
  set(first 0)
  if(count GREATER 80)
    math(EXPR first "${count} - 80")
  endif()
  list(SUBLIST all ${first} -1 tail)
  list(JOIN tail "\n" tail)
  message("${tail}")
  file(GLOB found ${FINDINGS}/*)
  foreach(input IN LISTS found)
    file(READ ${input} hex HEX)
    message("finding ${input}\nhex: ${hex}")
  endforeach()
  message(FATAL_ERROR "fuzz_${NAME}: finding (exit ${result}); log in ${log}")
endif()
