# The menu entry an install writes names the program in a folder whose name
# holds spaces and quotes: cmake -DBUILD=DIR -P menuentry.cmake
set(folder "${BUILD}/menu-entry/Bob's \"SMS\" $HOME `id`")
file(REMOVE_RECURSE "${BUILD}/menu-entry")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${folder}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND desktop-file-validate "${folder}/zendry-sms.desktop" COMMAND_ERROR_IS_FATAL ANY)
file(STRINGS "${folder}/zendry-sms.desktop" exec REGEX "^Exec=")
set(expected "Exec=\"${BUILD}/menu-entry/Bob's \\\\\"SMS\\\\\" \\\\\$HOME \\\\`id\\\\`/zendry-sms\"")
if(NOT exec STREQUAL expected)
    message(FATAL_ERROR "${exec}")
endif()
file(REMOVE_RECURSE "${BUILD}/menu-entry")
