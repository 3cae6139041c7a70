# Runs PROGRAM with the arguments ARGS (a ;-list) and writes what it prints
# to OUTPUT; a failing run fails the build.
#   cmake -DPROGRAM=... -DARGS=... -DOUTPUT=... -P write_output.cmake
execute_process(COMMAND "${PROGRAM}" ${ARGS} OUTPUT_FILE "${OUTPUT}.tmp" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}.tmp")
  message(FATAL_ERROR "${PROGRAM} ${ARGS} failed: ${status}")
endif()
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
