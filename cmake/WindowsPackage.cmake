# Windows: everything the two programs load, laid out beside them, so that the
# unpacked zip or the installed folder runs as it is. cpack builds both the
# portable zip (lumiset-<version>-win64.zip) and an NSIS installer.

# Qt's libraries and the plug-ins the programs load at run time.
set(qt_libraries Qt6::Core Qt6::Gui Qt6::Widgets)
set(qt_plugins
    platforms Qt6::QWindowsIntegrationPlugin
    styles Qt6::QWindowsVistaStylePlugin
    imageformats Qt6::QGifPlugin
    imageformats Qt6::QICOPlugin
    imageformats Qt6::QJpegPlugin
    imageformats Qt6::QTiffPlugin
    imageformats Qt6::QWebpPlugin)
foreach(library IN LISTS qt_libraries)
    install(FILES $<TARGET_FILE:${library}> DESTINATION .)
endforeach()
while(qt_plugins)
    list(POP_FRONT qt_plugins folder plugin)
    if(NOT TARGET ${plugin})
        message(FATAL_ERROR "The Qt plug-in ${plugin} is missing: build Qt with scripts/build-windows.sh")
    endif()
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder})
endwhile()

# The compiler's run-time libraries and zlib, which Qt and the workbook writer use.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}")
        find_file(dll_path ${dll} PATHS /usr/x86_64-w64-mingw32/lib /usr/x86_64-w64-mingw32/bin NO_DEFAULT_PATH)
    endif()
    if(NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "${dll} not found beside the compiler")
    endif()
    file(REAL_PATH "${dll_path}" dll_path)
    install(FILES ${dll_path} DESTINATION .)
    unset(dll_path CACHE)
endforeach()

# Qt's own Russian texts (dialog buttons, the text boxes' menu): the .qm files
# are the same on every system, so the host's copy is used.
set(LUMISET_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Folder holding qtbase_ru.qm")
install(FILES ${LUMISET_QT_TRANSLATIONS}/qtbase_ru.qm DESTINATION translations)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION samples FILES_MATCHING
        PATTERN "*.bmp" PATTERN "*.tga" PATTERN "*.png" PATTERN "*.jpg" PATTERN "*.tif"
        PATTERN "*.gif" PATTERN "*.webp" PATTERN "*.p?m")

# The file types offered to Explorer's "Open with", each tied to one program id.
set(LUMISET_EXTENSIONS bmp dib tga png jpg jpeg jpe tif tiff gif webp pbm pgm ppm pnm)
set(prog_id "Lumiset.Picture")
set(install_commands
    "WriteRegStr SHCTX 'Software\\Classes\\${prog_id}' '' 'Lumiset'"
    "WriteRegStr SHCTX 'Software\\Classes\\${prog_id}\\DefaultIcon' '' '$INSTDIR\\lumiset.exe,0'"
    "WriteRegStr SHCTX 'Software\\Classes\\${prog_id}\\shell\\open\\command' '' '\"$INSTDIR\\lumiset.exe\" \"%1\"'"
    "WriteRegStr SHCTX 'Software\\Classes\\Applications\\lumiset.exe\\shell\\open\\command' '' '\"$INSTDIR\\lumiset.exe\" \"%1\"'")
set(uninstall_commands
    "DeleteRegKey SHCTX 'Software\\Classes\\${prog_id}'"
    "DeleteRegKey SHCTX 'Software\\Classes\\Applications\\lumiset.exe'")
foreach(ext IN LISTS LUMISET_EXTENSIONS)
    list(APPEND install_commands
        "WriteRegStr SHCTX 'Software\\Classes\\.${ext}\\OpenWithProgids' '${prog_id}' ''"
        "WriteRegStr SHCTX 'Software\\Classes\\Applications\\lumiset.exe\\SupportedTypes' '.${ext}' ''")
    list(APPEND uninstall_commands
        "DeleteRegValue SHCTX 'Software\\Classes\\.${ext}\\OpenWithProgids' '${prog_id}'")
endforeach()
list(APPEND install_commands "System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'")
list(JOIN install_commands "\n" CPACK_NSIS_EXTRA_INSTALL_COMMANDS)
list(JOIN uninstall_commands "\n" CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS)

# The values reach the NSIS script as written here.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGING_INSTALL_PREFIX "")
set(CPACK_PACKAGE_FILE_NAME "lumiset-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Lumiset")
set(CPACK_PACKAGE_EXECUTABLES lumiset "Lumiset")
set(CPACK_NSIS_PACKAGE_NAME "Lumiset")
set(CPACK_NSIS_DISPLAY_NAME "Lumiset ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME lumiset.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/icons/lumiset.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/data/icons/lumiset.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT ${LUMISET_HOMEPAGE})
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MODIFY_PATH OFF)
# A 64-bit installer for a 64-bit program: it runs where the program runs,
# installs into "Program Files" and writes the 64-bit registry.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
