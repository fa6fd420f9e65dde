# Runs a command and checks its exit code and output:
#   cmake -DEXPECT_CODE=N [-DEXPECT_OUT=regex] [-DEXPECT_ERR=regex]
#         [-DREJECT_OUT=regex] -P RunTool.cmake command args...
set(command)
set(index 0)
while(index LESS CMAKE_ARGC AND NOT CMAKE_ARGV${index} STREQUAL "-P")
  math(EXPR index "${index} + 1")
endwhile()
math(EXPR index "${index} + 2") # past -P and this script
while(index LESS CMAKE_ARGC)
  list(APPEND command "${CMAKE_ARGV${index}}")
  math(EXPR index "${index} + 1")
endwhile()

execute_process(COMMAND ${command}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
message("exit code: ${code}\n--- stdout\n${out}--- stderr\n${err}---")
if(NOT code STREQUAL "${EXPECT_CODE}")
  message(SEND_ERROR "expected exit code ${EXPECT_CODE}, got ${code}")
endif()
if(DEFINED EXPECT_OUT AND NOT out MATCHES "${EXPECT_OUT}")
  message(SEND_ERROR "stdout does not match: ${EXPECT_OUT}")
endif()
if(DEFINED REJECT_OUT AND out MATCHES "${REJECT_OUT}")
  message(SEND_ERROR "stdout must not match: ${REJECT_OUT}")
endif()
if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
  message(SEND_ERROR "stderr does not match: ${EXPECT_ERR}")
endif()
