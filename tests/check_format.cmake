file(GLOB_RECURSE sources
    ${SOURCE_DIR}/model/*.cpp ${SOURCE_DIR}/model/*.h
    ${SOURCE_DIR}/walking/*.cpp ${SOURCE_DIR}/walking/*.h
    ${SOURCE_DIR}/gait/*.cpp ${SOURCE_DIR}/gait/*.h
    ${SOURCE_DIR}/assets/*.cpp ${SOURCE_DIR}/assets/*.h
    ${SOURCE_DIR}/shell/*.cpp ${SOURCE_DIR}/shell/*.h
    ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/fuzz/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "Some files do not follow .clang-format; run clang-format -i on them.")
endif()
