# Runs dranvelor_soak (under the emulator, if any) and checks its exit code and output.
# -DSOAK=program -DEMULATOR=runner -DARGUMENTS=a|b|c -DEXPECT_EXIT=n -DEXPECT_OUTPUT=regex
string(REPLACE "|" ";" arguments "${ARGUMENTS}")
execute_process(COMMAND ${EMULATOR} ${SOAK} ${arguments}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT code STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_EXIT}")
endif()
if(NOT "${out}${err}" MATCHES "${EXPECT_OUTPUT}")
  message(FATAL_ERROR "no output matching: ${EXPECT_OUTPUT}")
endif()
