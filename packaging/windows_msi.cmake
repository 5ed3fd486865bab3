# The Windows installer: `cmake --build build-win64 --target windows_msi` makes
# tailmend-<version>-windows-x64.msi with wixl (Debian's package wixl, from msitools). It installs
# both programs, the help documents and the licence into Program Files, a shortcut into the Start
# menu, an entry into the installed programs and a "Repair with Tailmend" verb on .crw files; a
# newer version replaces it, and uninstalling it leaves nothing behind. The verb and the shortcut
# start the window program: a build without it makes no installer.
if(NOT TARGET Tailmend)
  return()
endif()

find_program(TAILMEND_WIXL wixl)
set(tailmend_msi "${PROJECT_BINARY_DIR}/tailmend-${PROJECT_VERSION}-windows-x64.msi")

# wixl finds the files named in the WiX source beside it: the source and what it names live in one
# folder, the programs in the stripped ones' next to it.
set(tailmend_msi_folder "${CMAKE_CURRENT_BINARY_DIR}/msi")
file(RELATIVE_PATH TAILMEND_MSI_PROGRAMS "${tailmend_msi_folder}" "${TAILMEND_STRIPPED_FOLDER}")
foreach(file IN LISTS TAILMEND_HELP_DOCUMENTS TAILMEND_ICON_FILE)
  get_filename_component(name "${file}" NAME)
  configure_file("${file}" "${tailmend_msi_folder}/${name}" COPYONLY)
endforeach()
# The licence's text as Notepad reads it, with CR LF.
configure_file("${PROJECT_SOURCE_DIR}/LICENSE" "${tailmend_msi_folder}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
set(tailmend_wxs "${tailmend_msi_folder}/tailmend.wxs")
configure_file(windows/tailmend.wxs.in "${tailmend_wxs}" @ONLY)

if(TAILMEND_WIXL)
  add_custom_command(OUTPUT "${tailmend_msi}"
    COMMAND "${CMAKE_COMMAND}" "-DWIXL=${TAILMEND_WIXL}" "-DVERSION=${PROJECT_VERSION}" "-DSOURCE=${tailmend_wxs}"
      "-DOUTPUT=${tailmend_msi}" -P "${CMAKE_CURRENT_SOURCE_DIR}/windows/make_msi.cmake"
    DEPENDS "${tailmend_wxs}" ${TAILMEND_STRIPPED_PROGRAMS} "${CMAKE_CURRENT_SOURCE_DIR}/windows/make_msi.cmake"
    VERBATIM)
else()
  add_custom_command(OUTPUT "${tailmend_msi}"
    COMMAND "${CMAKE_COMMAND}" -E echo "wixl not found: apt-get install wixl (or run scripts/dev/install-deps.sh)"
    COMMAND "${CMAKE_COMMAND}" -E false
    VERBATIM)
endif()
add_custom_target(windows_msi DEPENDS "${tailmend_msi}")
add_dependencies(windows_msi windows_stripped_programs)
