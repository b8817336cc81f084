# Writes the hostile inputs, runs `orva-assets inspect` on all of them, and expects exit status
# 1 (some refused) with no crash and no sanitizer report. Sanitizers exit with 86 here, so their
# reports cannot pass for a refusal.
set(ENV{ASAN_OPTIONS} "exitcode=86")
set(ENV{UBSAN_OPTIONS} "exitcode=86:halt_on_error=1")
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${REPLAY} --write ${DIR} RESULT_VARIABLE written)
if(NOT written EQUAL 0)
    message(FATAL_ERROR "could not write the hostile inputs")
endif()
file(GLOB_RECURSE inputs ${DIR}/*)
list(APPEND inputs ${DIR}/missing.3ds ${DIR}/missing.tga ${DIR})
execute_process(COMMAND ${INSPECT} inspect ${inputs} RESULT_VARIABLE status OUTPUT_VARIABLE out
    ERROR_VARIABLE err TIMEOUT 120)
if(NOT status EQUAL 1 OR err MATCHES "Sanitizer|runtime error")
    message(FATAL_ERROR "orva-assets inspect gave ${status}\n${err}")
endif()
execute_process(COMMAND ${INSPECT} RESULT_VARIABLE usage OUTPUT_QUIET ERROR_QUIET)
if(NOT usage EQUAL 2)
    message(FATAL_ERROR "orva-assets without a command gave ${usage}, not 2")
endif()
