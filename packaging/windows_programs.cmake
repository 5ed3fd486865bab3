# The Windows programs as users get them, in the zip and in the installer alike: stripped of the
# symbols of the statically linked runtime, three quarters of their size and of no use to their
# users. TAILMEND_WINDOWS_PROGRAMS names the targets, TAILMEND_STRIPPED_PROGRAMS their stripped
# copies in TAILMEND_STRIPPED_FOLDER, which the target windows_stripped_programs makes.

# A build without the window program (TAILMEND_BUILD_WIN32_UI off) has tailmend-cli only.
set(TAILMEND_WINDOWS_PROGRAMS tailmend-cli)
if(TARGET Tailmend)
  list(APPEND TAILMEND_WINDOWS_PROGRAMS Tailmend)
endif()

set(TAILMEND_STRIPPED_FOLDER "${CMAKE_CURRENT_BINARY_DIR}/stripped")
set(TAILMEND_STRIPPED_PROGRAMS "")
foreach(program IN LISTS TAILMEND_WINDOWS_PROGRAMS)
  set(stripped "${TAILMEND_STRIPPED_FOLDER}/${program}${CMAKE_EXECUTABLE_SUFFIX}")
  add_custom_command(OUTPUT "${stripped}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${TAILMEND_STRIPPED_FOLDER}"
    COMMAND "${CMAKE_STRIP}" -o "${stripped}" "$<TARGET_FILE:${program}>"
    DEPENDS ${program}
    VERBATIM)
  list(APPEND TAILMEND_STRIPPED_PROGRAMS "${stripped}")
endforeach()
# The zip and the installer both use the copies: made once, before either.
add_custom_target(windows_stripped_programs DEPENDS ${TAILMEND_STRIPPED_PROGRAMS})
