# Installation and the binary ZIP package, laid out as hosts and CMake expect:
#   bin/      Halyard.dll, and the host tools with their example settings
#   include/  halyard.h
#   lib/      Halyard.lib, Halyard.def, cmake/Halyard/ (find_package(Halyard))
#   examples/ host programs that build against this folder
# and the README at the top. Tests and the benchmark are not shipped.

include(CMakePackageConfigHelpers)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(HALYARD_PACKAGE_ARCH win64)
else()
  set(HALYARD_PACKAGE_ARCH win32)
endif()

install(TARGETS Halyard EXPORT HalyardTargets
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib)
install(FILES include/halyard.h DESTINATION include)
# The definitions the shipped import library was made from, for hosts whose
# toolchain makes its own.
install(FILES ${HALYARD_IMPORT_DEF} DESTINATION lib RENAME Halyard.def)

set(HALYARD_CMAKE_DIR lib/cmake/Halyard)
install(EXPORT HalyardTargets NAMESPACE Halyard:: DESTINATION ${HALYARD_CMAKE_DIR})
configure_package_config_file(cmake/HalyardConfig.cmake.in
  ${CMAKE_BINARY_DIR}/HalyardConfig.cmake
  INSTALL_DESTINATION ${HALYARD_CMAKE_DIR})
# The version file also refuses a consumer of the other architecture.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/HalyardConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/HalyardConfig.cmake ${CMAKE_BINARY_DIR}/HalyardConfigVersion.cmake
  DESTINATION ${HALYARD_CMAKE_DIR})

install(DIRECTORY examples/ DESTINATION examples)
# OPTIONAL: scripts/check-package reports it when missing.
install(FILES README.md DESTINATION . OPTIONAL)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Halyard)
set(CPACK_PACKAGE_VENDOR Halyard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QBOX tuner remote-control keys for Windows applications")
set(CPACK_PACKAGE_FILE_NAME Halyard-${PROJECT_VERSION}-${HALYARD_PACKAGE_ARCH})
# The archive unpacks into one folder of the same name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
