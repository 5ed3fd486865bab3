# The help documents travel beside each window program, where its viewer looks first.
set(TAILMEND_HELP_DOCUMENTS "${PROJECT_SOURCE_DIR}/assets/whatis.rtf" "${PROJECT_SOURCE_DIR}/assets/howto.rtf")

function(tailmend_help_documents_beside program)
  set(copies "")
  foreach(doc IN LISTS TAILMEND_HELP_DOCUMENTS)
    get_filename_component(name "${doc}" NAME)
    add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/${name}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${doc}" "${PROJECT_BINARY_DIR}/${name}"
      DEPENDS "${doc}" VERBATIM)
    list(APPEND copies "${PROJECT_BINARY_DIR}/${name}")
  endforeach()
  add_custom_target(${program}_help_documents ALL DEPENDS ${copies})
  add_dependencies(${program} ${program}_help_documents)
endfunction()
