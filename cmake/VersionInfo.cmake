# Version resources: every shipped binary says what it is and which version
# (Explorer's properties, installers' version checks, support requests), all
# from the project's version through one template, cmake/VersionInfo.rc.in.
#
#   halyard_version_info(TARGET DESCRIPTION text)

set(HALYARD_VENDOR Halyard)

function(halyard_version_info target)
  cmake_parse_arguments(VI "" "DESCRIPTION" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(HALYARD_VI_NAME ${name})
  set(HALYARD_VI_DESCRIPTION "${VI_DESCRIPTION}")
  if(type STREQUAL "EXECUTABLE")
    set(HALYARD_VI_TYPE VFT_APP)
    set(HALYARD_VI_FILE ${name}.exe)
  else()
    set(HALYARD_VI_TYPE VFT_DLL)
    set(HALYARD_VI_FILE ${name}.dll)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
