# Install rules for `cmake --install`: the freedesktop.org layout on Linux and the other Unix
# desktops, an application bundle on macOS, the bare executable on Windows.
#
# Included from the top-level CMakeLists.txt once the `pairwell` target exists.

include(GNUInstallDirs)

# One name for the desktop entry, the icon and the metadata, the same that the application
# gives the window system (QGuiApplication::desktopFileName).
set(PAIRWELL_APP_ID com.tallowen.Pairwell)
set(PAIRWELL_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/resources)

# The bundle's information keys. The update check reads CFBundleName and
# CFBundleShortVersionString, so both must stay in step with the project. The file is made on
# every platform so that its keys can be checked where the game is built and tested; only an
# Apple build puts it into a bundle. @ONLY leaves nothing for the bundle step to substitute.
set(PAIRWELL_INFO_PLIST ${CMAKE_CURRENT_BINARY_DIR}/Pairwell-Info.plist)
file(CONFIGURE OUTPUT ${PAIRWELL_INFO_PLIST} @ONLY CONTENT [=[
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
    <key>CFBundleDevelopmentRegion</key>
    <string>en</string>
    <key>CFBundleDisplayName</key>
    <string>Pairwell</string>
    <key>CFBundleExecutable</key>
    <string>Pairwell</string>
    <key>CFBundleIdentifier</key>
    <string>@PAIRWELL_APP_ID@</string>
    <key>CFBundleInfoDictionaryVersion</key>
    <string>6.0</string>
    <key>CFBundleLocalizations</key>
    <array>
        <string>en</string>
        <string>ja</string>
    </array>
    <key>CFBundleName</key>
    <string>Pairwell</string>
    <key>CFBundlePackageType</key>
    <string>APPL</string>
    <key>CFBundleShortVersionString</key>
    <string>@PROJECT_VERSION@</string>
    <key>CFBundleVersion</key>
    <string>@PROJECT_VERSION@</string>
    <key>LSApplicationCategoryType</key>
    <string>public.app-category.card-games</string>
    <key>NSHighResolutionCapable</key>
    <true/>
    <key>NSPrincipalClass</key>
    <string>NSApplication</string>
</dict>
</plist>
]=])

if(APPLE)
    # The update replaces /Applications/Pairwell.app, so the bundle carries that name.
    set_target_properties(pairwell PROPERTIES
        OUTPUT_NAME Pairwell
        MACOSX_BUNDLE ON
        MACOSX_BUNDLE_INFO_PLIST ${PAIRWELL_INFO_PLIST})
    install(TARGETS pairwell
        BUNDLE DESTINATION .
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
elseif(UNIX)
    install(TARGETS pairwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The entry is named after the application id, which desktops match against the window.
    install(FILES ${PAIRWELL_RESOURCES}/pairwell.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${PAIRWELL_APP_ID}.desktop)
    foreach(size 64 128 256)
        install(FILES ${PAIRWELL_RESOURCES}/icons/pairwell-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${PAIRWELL_APP_ID}.png)
    endforeach()
    install(FILES ${PAIRWELL_RESOURCES}/${PAIRWELL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
else()
    install(TARGETS pairwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The per-user install behind `make install`: `cmake --install build --component user_install`
# puts the self-contained Pairwell.app (the folder of the update archive, see
# cmake/Packaging.cmake) into the Applications folder the update pane replaces, and on the
# freedesktop.org desktops the entry, the icons and the metadata into the user's data folder,
# with the entry starting that very copy. No root needed; `make uninstall` removes the same.
if(APPLE)
    set(PAIRWELL_USER_APPLICATIONS [[/Applications]])
else()
    set(PAIRWELL_USER_APPLICATIONS [[$ENV{HOME}/Applications]])
endif()
install(CODE "
    set(resources \"${PAIRWELL_RESOURCES}\")
    set(id ${PAIRWELL_APP_ID})
    set(applications \"${PAIRWELL_USER_APPLICATIONS}\")
    set(app_folder_component ${PAIRWELL_PACKAGE_COMPONENT})
    set(binary_dir \"${CMAKE_BINARY_DIR}\")"
    COMPONENT user_install EXCLUDE_FROM_ALL)
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/UserInstall.cmake COMPONENT user_install EXCLUDE_FROM_ALL)
