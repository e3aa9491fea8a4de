# The application folder Pairwell.app and the update archive made from it.
#
# `cmake --build build --target package` writes pairwell.zip, whose top level holds
# Pairwell.app, the very layout the update pane unpacks and installs. `make install` puts the
# same folder into the Applications folder (cmake/Install.cmake). On macOS the folder is the
# application bundle; elsewhere it is a self-contained folder: the executable, the Qt libraries
# and plugins it loads, Qt's own translations, and a qt.conf that keeps Qt inside the folder.
#
# The folder's rules live in a component of their own, left out of a plain `cmake --install`,
# so they never mix with the system-wide install rules.

set(PAIRWELL_PACKAGE_COMPONENT app_folder)

if(APPLE)
    find_program(PAIRWELL_MACDEPLOYQT macdeployqt
        HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
    # The target becomes a bundle only in cmake/Install.cmake, included after this file, so the
    # rule is added once the whole directory has been read.
    function(pairwell_package_bundle)
        get_target_property(bundle pairwell MACOSX_BUNDLE)
        if(NOT bundle)
            message(WARNING "pairwell is not a bundle: the update archive stays empty")
            return()
        endif()
        install(DIRECTORY "$<TARGET_BUNDLE_DIR:pairwell>/"
            DESTINATION Pairwell.app
            USE_SOURCE_PERMISSIONS
            COMPONENT ${PAIRWELL_PACKAGE_COMPONENT}
            EXCLUDE_FROM_ALL)
        if(PAIRWELL_MACDEPLOYQT)
            install(CODE "execute_process(COMMAND \"${PAIRWELL_MACDEPLOYQT}\"
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/Pairwell.app\" -always-overwrite
                    COMMAND_ERROR_IS_FATAL ANY)"
                COMPONENT ${PAIRWELL_PACKAGE_COMPONENT}
                EXCLUDE_FROM_ALL)
        else()
            message(WARNING "macdeployqt not found: the bundle needs Qt installed to run")
        endif()
    endfunction()
    cmake_language(DEFER CALL pairwell_package_bundle)
elseif(UNIX)
    # Only the folder needs it, so a build without it still builds and runs the game.
    find_program(PAIRWELL_PATCHELF patchelf)
    if(NOT PAIRWELL_PATCHELF)
        message(WARNING "patchelf not found: Pairwell.app cannot be made (make install, make package)")
    endif()

    # The plugins the game loads: the X11 platform (and the offscreen one, for headless runs),
    # the image formats the image wells read beyond the built-in PNG, the TLS backend of the
    # update download, input methods, and the GL integrations the xcb platform picks from.
    set(PAIRWELL_QT_PLUGINS
        Qt6::QXcbIntegrationPlugin Qt6::QOffscreenIntegrationPlugin
        Qt6::QJpegPlugin Qt6::QGifPlugin Qt6::QICOPlugin
        Qt6::QTlsBackendOpenSSLPlugin
        Qt6::QComposePlatformInputContextPlugin Qt6::QIbusPlatformInputContextPlugin
        Qt6::QXcbGlxIntegrationPlugin Qt6::QXcbEglIntegrationPlugin)
    set(plugin_files)
    foreach(plugin IN LISTS PAIRWELL_QT_PLUGINS)
        # Some distributions (Debian, for one) import no plugin targets with their module.
        string(REPLACE "::" "" package ${plugin})
        if(NOT TARGET ${plugin})
            find_package(${package} QUIET CONFIG NO_DEFAULT_PATH
                PATHS "${Qt6Gui_DIR}" "${Qt6Network_DIR}")
        endif()
        if(NOT TARGET ${plugin})
            message(WARNING "Qt plugin ${plugin} not found: Pairwell.app goes without it")
            continue()
        endif()
        get_target_property(type ${plugin} QT_PLUGIN_TYPE)
        install(FILES "$<TARGET_FILE:${plugin}>"
            DESTINATION Pairwell.app/plugins/${type}
            COMPONENT ${PAIRWELL_PACKAGE_COMPONENT}
            EXCLUDE_FROM_ALL)
        list(APPEND plugin_files "$<TARGET_FILE:${plugin}>")
    endforeach()

    # Qt's own texts (standard buttons, file dialogs) for every language the game speaks.
    file(GLOB ts_files "${CMAKE_CURRENT_SOURCE_DIR}/resources/translations/pairwell_*.ts")
    foreach(ts IN LISTS ts_files)
        string(REGEX REPLACE ".*/pairwell_(.*)\\.ts$" "\\1" lang "${ts}")
        set(qm "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}/qtbase_${lang}.qm")
        if(EXISTS "${qm}")
            install(FILES "${qm}" DESTINATION Pairwell.app/translations
                COMPONENT ${PAIRWELL_PACKAGE_COMPONENT} EXCLUDE_FROM_ALL)
        else()
            message(WARNING "${qm} not found (qt6-translations-l10n): Qt's own texts stay English")
        endif()
    endforeach()

    # Paths in qt.conf are relative to the folder that holds it. Not beside the built
    # executable, which must keep using the system's Qt.
    file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/app_folder/qt.conf"
        "[Paths]\nPrefix = .\nLibraries = lib\nPlugins = plugins\nTranslations = translations\n")
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/app_folder/qt.conf" DESTINATION Pairwell.app
        COMPONENT ${PAIRWELL_PACKAGE_COMPONENT} EXCLUDE_FROM_ALL)

    install(TARGETS pairwell RUNTIME DESTINATION Pairwell.app
        COMPONENT ${PAIRWELL_PACKAGE_COMPONENT} EXCLUDE_FROM_ALL)

    # Then the libraries: cmake/BundleLibraries.cmake gathers them into lib/ at install time.
    install(CODE "set(PAIRWELL_PLUGIN_FILES \"${plugin_files}\")
        set(PAIRWELL_PATCHELF \"${PAIRWELL_PATCHELF}\")"
        COMPONENT ${PAIRWELL_PACKAGE_COMPONENT} EXCLUDE_FROM_ALL)
    install(SCRIPT "${CMAKE_CURRENT_LIST_DIR}/BundleLibraries.cmake"
        COMPONENT ${PAIRWELL_PACKAGE_COMPONENT} EXCLUDE_FROM_ALL)
else()
    install(TARGETS pairwell RUNTIME DESTINATION Pairwell.app
        COMPONENT ${PAIRWELL_PACKAGE_COMPONENT} EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Pairwell)
set(CPACK_PACKAGE_VENDOR Tallowen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pairwell, a concentration card game")
# The updater asks for (site)pairwell.zip whatever the version, so the name carries none.
set(CPACK_PACKAGE_FILE_NAME pairwell)
set(CPACK_ARCHIVE_FILE_NAME pairwell)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL ${PAIRWELL_PACKAGE_COMPONENT})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/")
include(CPack)
