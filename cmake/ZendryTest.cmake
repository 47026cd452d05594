# zendry_add_test(<name> <sources...> [LIBS <targets...>])
# One QtTest suite, one CTest entry, run offscreen. Windows builds run under
# Wine on an X server (tests/xsession) with Qt's own Windows platform:
# offscreen, a window there never becomes active. Wine keeps QT_ variables
# of the host from its programs, so the Wine prefix's own environment tells
# QtTest to report to CTest rather than to a debugger (scripts/windows).
if(WIN32)
    set(ZENDRY_TEST_ENVIRONMENT "LANG=en_US.UTF-8;ZENDRY_CODE_PAGE=1252")
else()
    set(ZENDRY_TEST_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
function(zendry_add_test name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE ZENDRY_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ZENDRY_TEST_ENVIRONMENT}" TIMEOUT 300)
    if(WIN32)
        zendry_windows_runtime(${name})
    endif()
endfunction()
