# The Windows download: `cmake --build build-win64 --target windows_zip` makes
# tailmend-<version>-windows-x64.zip, one folder holding the programs, the help documents beside
# them (where the window program looks first) and a read-me. The programs are linked statically, so
# nothing else is needed to run them.

set(tailmend_zip_name "tailmend-${PROJECT_VERSION}-windows-x64")
set(tailmend_zip "${PROJECT_BINARY_DIR}/${tailmend_zip_name}.zip")
set(tailmend_zip_stage "${CMAKE_CURRENT_BINARY_DIR}/zip")

# The read-me names only the programs the zip holds; CR LF, for Notepad.
if(TARGET Tailmend)
  set(TAILMEND_README_WINDOW_PROGRAM
    "  Tailmend.exe      the window program: Browse, Backup Source Files, Fix Now;\n                    drop photos or their folders onto it or its window\n")
else()
  set(TAILMEND_README_WINDOW_PROGRAM "")
endif()
# A line put in by a variable keeps its own line end: the line ends are set on a second pass.
configure_file(windows/README.txt.in "${CMAKE_CURRENT_BINARY_DIR}/README-lf.txt" @ONLY)
configure_file("${CMAKE_CURRENT_BINARY_DIR}/README-lf.txt" "${CMAKE_CURRENT_BINARY_DIR}/README.txt" @ONLY NEWLINE_STYLE CRLF)

set(tailmend_zip_documents
  "${PROJECT_SOURCE_DIR}/assets/whatis.rtf"
  "${PROJECT_SOURCE_DIR}/assets/howto.rtf"
  "${CMAKE_CURRENT_BINARY_DIR}/README.txt")
set(tailmend_zip_folder "${tailmend_zip_stage}/${tailmend_zip_name}")
set(tailmend_zip_sources ${TAILMEND_STRIPPED_PROGRAMS} ${tailmend_zip_documents})
set(tailmend_zip_entries "")
foreach(source IN LISTS tailmend_zip_sources)
  get_filename_component(name "${source}" NAME)
  list(APPEND tailmend_zip_entries "${tailmend_zip_name}/${name}")
endforeach()

add_custom_command(OUTPUT "${tailmend_zip}"
  COMMAND "${CMAKE_COMMAND}" -E rm -rf "${tailmend_zip_stage}" "${tailmend_zip}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${tailmend_zip_folder}"
  COMMAND "${CMAKE_COMMAND}" -E copy ${tailmend_zip_sources} "${tailmend_zip_folder}"
  COMMAND "${CMAKE_COMMAND}" -E chdir "${tailmend_zip_stage}"
    "${CMAKE_COMMAND}" -E tar cf "${tailmend_zip}" --format=zip ${tailmend_zip_entries}
  DEPENDS ${tailmend_zip_sources}
  VERBATIM)
add_custom_target(windows_zip DEPENDS "${tailmend_zip}")
add_dependencies(windows_zip windows_stripped_programs)
