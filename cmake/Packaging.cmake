# The update archive: `cmake --build build --target package` writes pairwell.zip, whose top
# level holds Pairwell.app, the very layout the update pane unpacks and installs. On macOS
# that is the application bundle; elsewhere a self-contained folder with the executable.
#
# The archive's rules live in a component of their own, left out of a plain `cmake --install`,
# so they never mix with the desktop install rules of cmake/Install.cmake.

set(PAIRWELL_PACKAGE_COMPONENT update_archive)

if(APPLE)
    # The target becomes a bundle only in cmake/Install.cmake, included after this file, so the
    # rule is added once the whole directory has been read.
    function(pairwell_package_bundle)
        get_target_property(bundle pairwell MACOSX_BUNDLE)
        if(bundle)
            install(DIRECTORY "$<TARGET_BUNDLE_DIR:pairwell>/"
                DESTINATION Pairwell.app
                USE_SOURCE_PERMISSIONS
                COMPONENT ${PAIRWELL_PACKAGE_COMPONENT}
                EXCLUDE_FROM_ALL)
        else()
            message(WARNING "pairwell is not a bundle: the update archive stays empty")
        endif()
    endfunction()
    cmake_language(DEFER CALL pairwell_package_bundle)
else()
    install(TARGETS pairwell
        RUNTIME DESTINATION Pairwell.app
        COMPONENT ${PAIRWELL_PACKAGE_COMPONENT}
        EXCLUDE_FROM_ALL)
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
