# Runs one tavi-script scenario on PLATFORM and compares its output, metrics masked, with
# the expected output masked the same way: the reference platform's masked run, which the
# scenario's own test holds equal to the .expected file.
set(masked_run ${TAVI_SCRIPT} --mask-metrics ${SCENARIO})
execute_process(COMMAND ${masked_run} OUTPUT_VARIABLE expected RESULT_VARIABLE expected_rc)
execute_process(COMMAND ${TAVI_SCRIPT} --platform ${PLATFORM} --mask-metrics ${SCENARIO}
                OUTPUT_VARIABLE actual RESULT_VARIABLE rc TIMEOUT 60)
if(NOT actual STREQUAL expected)
  file(WRITE ${ACTUAL}.expected "${expected}")
  file(WRITE ${ACTUAL} "${actual}")
  execute_process(COMMAND diff -u --label expected --label ${PLATFORM} ${ACTUAL}.expected
                          ${ACTUAL})
  message(FATAL_ERROR "${PLATFORM} output differs (metrics masked); actual output in ${ACTUAL}")
endif()
if(NOT rc EQUAL expected_rc)
  message(FATAL_ERROR "tavi-script --platform ${PLATFORM} exited with ${rc}, expected ${expected_rc}")
endif()
