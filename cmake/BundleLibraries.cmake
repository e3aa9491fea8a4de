# Install-time step of the Linux Pairwell.app (cmake/Packaging.cmake): copies the shared
# libraries that the executable and the named plugins need into lib/, and points every binary
# of the folder at lib/ through its RUNPATH.
#
# Expects PAIRWELL_PLUGIN_FILES (the plugins as found in Qt's installation) and
# PAIRWELL_PATCHELF; the executable and the plugins are already in the folder.

if(NOT PAIRWELL_PATCHELF)
    message(FATAL_ERROR "Pairwell.app needs patchelf to point its binaries at lib/")
endif()
set(app "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/Pairwell.app")

# Left to the system is what every desktop has and must keep current: the C and C++ runtime,
# X11 and xcb, GL, fontconfig and freetype, OpenSSL and Kerberos, glib and D-Bus, each with its
# own dependencies. Their sonames stay the same across distributions and releases. Everything
# else goes into lib/: Qt itself, ICU (whose soname changes with every release, so the build
# machine's copy is seldom found elsewhere) and Qt's smaller helpers.
set(system_libraries
    "/ld-linux" "/lib(c|m|dl|rt|pthread|resolv|util)\\.so" "/lib(gcc_s|stdc\\+\\+|gomp)\\.so"
    "/libX" "/lib(xcb|xkbcommon|SM|ICE|bsd|md|uuid)[-.]"
    "/lib(GL|EGL|OpenGL|gbm|drm)"
    "/lib(fontconfig|freetype|expat|png|z|bz2|brotli|harfbuzz|graphite2)"
    "/lib(ssl|crypto|gssapi|krb5|k5crypto|com_err|keyutils)"
    "/lib(glib|gobject|gio|gmodule|gthread|pcre2-8|ffi)"
    "/lib(dbus|systemd|cap|gcrypt|gpg-error|lzma|lz4|zstd)[-.]")

file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${app}/pairwell"
    MODULES ${PAIRWELL_PLUGIN_FILES}
    RESOLVED_DEPENDENCIES_VAR libraries
    UNRESOLVED_DEPENDENCIES_VAR missing
    POST_EXCLUDE_REGEXES ${system_libraries})
if(missing)
    message(FATAL_ERROR "Pairwell.app: libraries not found: ${missing}")
endif()

function(set_runpath runpath)
    foreach(binary IN LISTS ARGN)
        execute_process(COMMAND "${PAIRWELL_PATCHELF}" --set-rpath "${runpath}" "${binary}"
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endfunction()

set(bundled)
foreach(library IN LISTS libraries)
    # The file itself under the name the loader asks for: links do not survive every archiver.
    get_filename_component(name "${library}" NAME)
    file(REAL_PATH "${library}" real)
    file(INSTALL DESTINATION "${app}/lib" FILES "${real}" RENAME "${name}"
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    list(APPEND bundled "${app}/lib/${name}")
endforeach()

# A library's own dependencies are looked up through its RUNPATH, not the executable's.
set_runpath("$ORIGIN/lib" "${app}/pairwell")
set_runpath("$ORIGIN" ${bundled})
file(GLOB plugins "${app}/plugins/*/*")
set_runpath("$ORIGIN/../../lib" ${plugins})
