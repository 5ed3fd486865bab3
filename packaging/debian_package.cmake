# The Debian package, made by `cpack -G DEB` in the build folder from the install rules of the
# programs and of the files below.
include(GNUInstallDirs)

# The package's name, not the project's, names its documentation folder.
set(tailmend_doc_dir "${CMAKE_INSTALL_DATAROOTDIR}/doc/tailmend")
set(tailmend_man_dir "${CMAKE_INSTALL_MANDIR}/man1")

# Debian keeps manual pages and changelogs compressed with gzip -9n: no name or time inside, so the
# same source makes the same bytes.
function(tailmend_gzip_copy source output)
  get_filename_component(name "${output}" NAME_WLE)
  get_filename_component(folder "${output}" DIRECTORY)
  add_custom_command(OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${folder}/${name}"
    COMMAND gzip -9nf "${folder}/${name}"
    DEPENDS "${source}" VERBATIM)
endfunction()

# tailmend-cli's manual page is made from its own --help and --version, so that the two never
# disagree. A build without help2man goes on without it.
find_program(TAILMEND_HELP2MAN help2man)
set(tailmend_cli_man "${CMAKE_CURRENT_BINARY_DIR}/tailmend-cli.1")
if(TAILMEND_HELP2MAN)
  add_custom_command(OUTPUT "${tailmend_cli_man}.gz"
    COMMAND "${TAILMEND_HELP2MAN}" --no-info --section=1
      "--name=cut the extra bytes off damaged Canon CRW raw photos"
      "--include=${CMAKE_CURRENT_SOURCE_DIR}/tailmend-cli.h2m"
      "--output=${tailmend_cli_man}" "$<TARGET_FILE:tailmend-cli>"
    COMMAND gzip -9nf "${tailmend_cli_man}"
    DEPENDS tailmend-cli "${CMAKE_CURRENT_SOURCE_DIR}/tailmend-cli.h2m" VERBATIM)
  set(tailmend_man_pages "${tailmend_cli_man}.gz")
else()
  message(STATUS "help2man not found: the manual page of tailmend-cli is not made")
  set(tailmend_man_pages "")
endif()

if(TARGET tailmend)
  tailmend_gzip_copy("${CMAKE_CURRENT_SOURCE_DIR}/tailmend.1" "${CMAKE_CURRENT_BINARY_DIR}/tailmend.1.gz")
  list(APPEND tailmend_man_pages "${CMAKE_CURRENT_BINARY_DIR}/tailmend.1.gz")
endif()

# The changelog's newest entry carries the build's version.
configure_file(debian/changelog.in "${CMAKE_CURRENT_BINARY_DIR}/changelog" @ONLY)

# In the copyright file the licence's text is a field's continuation: every line indented by one
# space, an empty line written as " .".
string(REPLACE "\n" "\n " TAILMEND_DEBIAN_LICENSE_TEXT " ${TAILMEND_LICENSE_TEXT}")
string(REPLACE "\n \n" "\n .\n" TAILMEND_DEBIAN_LICENSE_TEXT "${TAILMEND_DEBIAN_LICENSE_TEXT}")
configure_file(debian/copyright.in "${CMAKE_CURRENT_BINARY_DIR}/debian/copyright" @ONLY)
tailmend_gzip_copy("${CMAKE_CURRENT_BINARY_DIR}/changelog" "${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz")

add_custom_target(tailmend_package_files ALL
  DEPENDS ${tailmend_man_pages} "${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz")

if(tailmend_man_pages)
  install(FILES ${tailmend_man_pages} DESTINATION "${tailmend_man_dir}")
endif()
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/debian/copyright" "${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz"
  DESTINATION "${tailmend_doc_dir}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tailmend)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "${TAILMEND_COPYRIGHT_HOLDER}")
set(CPACK_PACKAGE_CONTACT "${TAILMEND_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TAILMEND_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION_FILE "${CMAKE_CURRENT_SOURCE_DIR}/debian/description.txt")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are whatever the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Folders the package creates are rwxr-xr-x whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
