# Runs one tavi-script scenario (on PLATFORM when given, else the default one) and compares
# its output with the expected lines. A
# scenario that expects another exit status than 0 says so in a line
# "# exit status: N".
string(REGEX REPLACE "\\.tavi$" ".expected" expected_file "${SCENARIO}")
file(STRINGS ${SCENARIO} status_line REGEX "^# exit status: [0-9]+$")
set(expected_rc 0)
if(status_line)
  string(REGEX REPLACE "^# exit status: " "" expected_rc "${status_line}")
endif()
set(platform_args)
if(PLATFORM)
  set(platform_args --platform ${PLATFORM})
endif()
execute_process(COMMAND ${TAVI_SCRIPT} ${platform_args} ${SCENARIO} OUTPUT_VARIABLE actual
                RESULT_VARIABLE rc)
file(READ ${expected_file} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${ACTUAL} "${actual}")
  # The difference, as diff prints it (a message would re-wrap its lines).
  execute_process(COMMAND diff -u --label expected --label actual ${expected_file} ${ACTUAL})
  message(FATAL_ERROR "scenario output differs from ${expected_file}; actual output in ${ACTUAL}")
endif()
if(NOT rc EQUAL expected_rc)
  message(FATAL_ERROR "tavi-script exited with ${rc}, expected ${expected_rc}")
endif()
