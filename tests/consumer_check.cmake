# Installs the core of BUILD_DIR into a fresh prefix, builds tests/consumer against it and runs
# it: the installed headers, libraries and package configuration are enough for a program.
set(work ${BUILD_DIR}/consumer-check)
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${work}/prefix
                        --component core
                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${work}/build
                        -DCMAKE_PREFIX_PATH=${work}/prefix -DCMAKE_BUILD_TYPE=RelWithDebInfo
                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${work}/build COMMAND_ERROR_IS_FATAL ANY
                OUTPUT_QUIET)
execute_process(COMMAND ${work}/build/consumer OUTPUT_VARIABLE duration
                COMMAND_ERROR_IS_FATAL ANY)
if(NOT duration MATCHES "^0\\.[0-9]+\n$")
    message(FATAL_ERROR "the consumer printed \"${duration}\", not a step's duration")
endif()
