# What each Windows program carries besides its code: its icon, its version information and its
# manifest, each made from one template, so that every program declares the same.
enable_language(RC)

set(TAILMEND_ICON_FILE "${PROJECT_SOURCE_DIR}/assets/tailmend.ico")

# Writes the manifest of the program NAME into the current build folder and puts its path into the
# variable OUTPUT. DEPENDENCIES is the XML of the side-by-side assemblies the program needs, or "";
# a further argument, XML too, goes into its window settings beside long-path awareness.
#   tailmend_windows_manifest(OUTPUT NAME DEPENDENCIES [WINDOWS_SETTINGS])
function(tailmend_windows_manifest output name dependencies)
  set(TAILMEND_MANIFEST_NAME "${name}")
  set(TAILMEND_MANIFEST_DEPENDENCIES "${dependencies}")
  set(TAILMEND_MANIFEST_WINDOWS_SETTINGS "${ARGV3}")
  set(manifest "${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in" "${manifest}" @ONLY)
  set(${output} "${manifest}" PARENT_SCOPE)
endfunction()

# Gives the executable TARGET its icon and version information, its file described as
# DESCRIPTION, with MANIFEST FILE that manifest too, and with INCLUDE SCRIPT the resources of that
# resource script (found relative to the source root), which depends on the files DEPENDS names.
# Resources go straight into the program (a static library would drop them) and are compiled
# without the C++ warning options. A program's resources are one script: the resource compiler
# numbers the pictures of the icons in each script from 1, so the icons of two scripts would take
# each other's pictures.
#   tailmend_program_resources(TARGET DESCRIPTION [MANIFEST FILE] [INCLUDE SCRIPT DEPENDS FILE...])
function(tailmend_program_resources target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "MANIFEST;INCLUDE" "DEPENDS")
  set(TAILMEND_RESOURCE_NAME "${target}")
  set(TAILMEND_RESOURCE_FILE_NAME "${target}.exe")
  set(TAILMEND_RESOURCE_DESCRIPTION "${description}")
  set(TAILMEND_RESOURCE_MANIFEST "")
  if(arg_MANIFEST)
    set(TAILMEND_RESOURCE_MANIFEST "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${arg_MANIFEST}\"")
  endif()
  set(TAILMEND_RESOURCE_INCLUDE "")
  if(arg_INCLUDE)
    set(TAILMEND_RESOURCE_INCLUDE "#include \"${arg_INCLUDE}\"")
  endif()
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_program.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in" "${script}" @ONLY)
  set_source_files_properties("${script}" PROPERTIES
    OBJECT_DEPENDS "${TAILMEND_ICON_FILE};${arg_MANIFEST};${arg_INCLUDE};${arg_DEPENDS}")
  add_library(${target}_program_resources OBJECT "${script}")
  target_include_directories(${target}_program_resources PRIVATE "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${target} PRIVATE ${target}_program_resources)
endfunction()
