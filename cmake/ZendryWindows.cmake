# What a program folder needs on Windows beside the executable: Qt's
# libraries, the plugins the program loads (the platform, the style, the
# picture formats a banner may come in) and MinGW's own runtime libraries.
set(ZENDRY_QT_PLUGINS
    "platforms|Qt6::QWindowsIntegrationPlugin"
    "styles|Qt6::QWindowsVistaStylePlugin"
    "imageformats|Qt6::QGifPlugin"
    "imageformats|Qt6::QJpegPlugin"
    "imageformats|Qt6::QICOPlugin")

# "folder|target" of one entry of that list.
macro(zendry_plugin_parts entry folder_var target_var)
    string(REPLACE "|" ";" _zendry_parts "${entry}")
    list(GET _zendry_parts 0 ${folder_var})
    list(GET _zendry_parts 1 ${target_var})
endmacro()

set(ZENDRY_MINGW_RUNTIME)
if(MINGW)
    foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        list(APPEND ZENDRY_MINGW_RUNTIME "${path}")
    endforeach()
endif()

# zendry_windows_runtime(<target>): puts the runtime beside the target in the
# build tree, so that it runs there (under Wine too) as from an installed folder.
function(zendry_windows_runtime target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_RUNTIME_DLLS:${target}> ${ZENDRY_MINGW_RUNTIME} $<TARGET_FILE_DIR:${target}>
        COMMAND_EXPAND_LISTS)
    foreach(plugin ${ZENDRY_QT_PLUGINS})
        zendry_plugin_parts("${plugin}" folder imported)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/${folder}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different
                $<TARGET_FILE:${imported}> $<TARGET_FILE_DIR:${target}>/${folder})
    endforeach()
endfunction()

# zendry_install_windows_runtime(): the same runtime in the installed folder.
function(zendry_install_windows_runtime)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network DESTINATION .)
    install(FILES ${ZENDRY_MINGW_RUNTIME} DESTINATION .)
    foreach(plugin ${ZENDRY_QT_PLUGINS})
        zendry_plugin_parts("${plugin}" folder imported)
        install(IMPORTED_RUNTIME_ARTIFACTS ${imported} DESTINATION ${folder})
    endforeach()
endfunction()

# zendry_strip_installed_folder(): the libraries come with their symbols
# (MinGW's C++ runtime alone is 23 MB); the folder a user unzips needs none.
# Called last, once everything is installed.
function(zendry_strip_installed_folder)
    install(CODE "
        file(GLOB_RECURSE binaries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.exe\")
        foreach(binary \${binaries})
            execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${binary}\" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()")
endfunction()

# Qt's translations of its own texts (the boxes' Yes and No), read from a
# "translations" folder beside the program. They are alike on every
# platform: the Windows Qt's own, or else those of the machine that builds
# (a Qt built for Windows from Debian's source has none; Debian's
# qt6-translations-l10n has them).
find_path(ZENDRY_QT_TRANSLATIONS qtbase_de.qm
    PATHS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}" "${QT_HOST_PATH}/share/qt6/translations"
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(ZENDRY_QT_TRANSLATIONS)
    file(GLOB ZENDRY_QT_QM "${ZENDRY_QT_TRANSLATIONS}/qtbase_*.qm")
else()
    message(WARNING "Qt's translations (qtbase_*.qm) not found: the boxes' Yes and No stay English. "
                    "On Debian: apt-get install qt6-translations-l10n")
    set(ZENDRY_QT_QM)
endif()

# zendry_windows_translations(<target>): puts them beside the target in the build
# tree and in the installed folder.
function(zendry_windows_translations target)
    if(ZENDRY_QT_QM)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/translations
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZENDRY_QT_QM} $<TARGET_FILE_DIR:${target}>/translations)
        install(FILES ${ZENDRY_QT_QM} DESTINATION translations)
    endif()
endfunction()
