# Install-time step of `make install` (cmake/Install.cmake): the application folder into the
# user's Applications folder, then the desktop files into the user's data folder.

if("$ENV{HOME}" STREQUAL "")
    message(FATAL_ERROR "HOME is not set: no place for a per-user install")
endif()

# A fresh folder, as the update leaves it: nothing of an earlier build lingers in lib/. It is
# made beside the installed one and swapped in only once it is whole, so a failed install
# leaves the copy the player has. The player's sets and settings live elsewhere.
set(app "${applications}/Pairwell.app")
set(staging "${applications}/.Pairwell.app.installing")
file(REMOVE_RECURSE "${staging}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${binary_dir}"
    --component ${app_folder_component} --prefix "${staging}" --strip
    --config "${CMAKE_INSTALL_CONFIG_NAME}"
    RESULT_VARIABLE failed)
if(failed)
    file(REMOVE_RECURSE "${staging}")
    message(FATAL_ERROR "Pairwell.app could not be made; ${app} is as it was")
endif()
if(EXISTS "${app}")
    file(RENAME "${app}" "${staging}/old")
endif()
file(RENAME "${staging}/Pairwell.app" "${app}")
file(REMOVE_RECURSE "${staging}")
if(APPLE OR WIN32)
    return()
endif()

set(data "$ENV{XDG_DATA_HOME}")
if(NOT IS_ABSOLUTE "${data}")
    set(data "$ENV{HOME}/.local/share")
endif()

# Desktop entries expand no ~, so Exec names the copy by its full path, quoted by the entry's
# rules: \ " ` $ escaped inside the quotes, and every escape written twice since the value is
# itself a string with escapes; % doubled for the field codes.
set(exec "${app}/pairwell")
string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\\\${special}" exec "${exec}")
endforeach()
string(REPLACE "%" "%%" exec "${exec}")
if(exec MATCHES "[\n\r\t]")
    message(FATAL_ERROR "${app}: a desktop entry cannot start a path with control characters")
endif()
file(READ "${resources}/pairwell.desktop" entry)
string(REGEX MATCH "\nExec=[^\n]*" line "${entry}")
string(REPLACE "${line}" "\nExec=\"${exec}\"" entry "${entry}")
set(staged "${binary_dir}/user-install/${id}.desktop")
file(WRITE "${staged}" "${entry}")

file(INSTALL "${staged}" DESTINATION "${data}/applications")
foreach(size 64 128 256)
    file(INSTALL "${resources}/icons/pairwell-${size}.png"
        DESTINATION "${data}/icons/hicolor/${size}x${size}/apps" RENAME ${id}.png)
endforeach()
file(INSTALL "${resources}/${id}.metainfo.xml" DESTINATION "${data}/metainfo")
