# Makes the installer of one version from the WiX source that the build configured:
#   cmake -DWIXL=wixl -DVERSION=1.2.3.4 -DSOURCE=tailmend.wxs -DOUTPUT=tailmend.msi -P make_msi.cmake
# The build runs it for its own version; the package test runs it for older ones, to upgrade from.
foreach(variable WIXL VERSION SOURCE OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "make_msi.cmake needs -D${variable}=...")
  endif()
endforeach()

# Windows Installer compares the first three numbers of a version only: every build whose first
# three are these (SameVersion) and below the next third number (NextVersion) is the same version.
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(\\.[0-9]+)?$")
  message(FATAL_ERROR "the version ${VERSION} is not three or four numbers")
endif()
math(EXPR next_patch "${CMAKE_MATCH_3} + 1")
set(same "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}")
set(next "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${next_patch}")

execute_process(
  COMMAND "${WIXL}" --arch x64 -D "ProductVersion=${VERSION}" -D "SameVersion=${same}" -D "NextVersion=${next}"
    -o "${OUTPUT}" "${SOURCE}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "wixl could not make ${OUTPUT}")
endif()
