# Installation and the binary ZIP package: the DLL with its import library,
# module-definition file and header, the host tool with its example settings,
# and the README. Tests and simulation tools are not shipped.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(HALYARD_PACKAGE_ARCH win64)
else()
  set(HALYARD_PACKAGE_ARCH win32)
endif()

install(TARGETS Halyard
  RUNTIME DESTINATION .
  ARCHIVE DESTINATION .)
install(FILES src/entry/Halyard.def DESTINATION .)
install(FILES include/halyard.h DESTINATION include)
if(TARGET halyard-monitor)
  install(TARGETS halyard-monitor RUNTIME DESTINATION .)
  install(FILES tools/halyard-monitor/halyard.ini DESTINATION .)
endif()
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
