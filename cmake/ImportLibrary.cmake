# Halyard.lib in the short import format that MSVC's own lib writes, which
# GNU ld and lld-link (also under /SAFESEH) both accept. It replaces the
# import library GNU ld writes beside the DLL: on x86 that one holds only the
# undecorated names, so no host's _InitRemoteControl@8 resolves against it.

find_program(HALYARD_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED
  DOC "llvm-dlltool, which writes short-format import libraries")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(HALYARD_IMPORT_DEF ${PROJECT_SOURCE_DIR}/src/entry/Halyard.def)
  set(HALYARD_DLLTOOL_ARGS -m i386:x86-64)
else()
  # -k: the decorated symbols bind to the undecorated exports.
  set(HALYARD_IMPORT_DEF ${PROJECT_SOURCE_DIR}/src/entry/Halyard-x86.def)
  set(HALYARD_DLLTOOL_ARGS -m i386 -k)
endif()

add_custom_command(TARGET Halyard POST_BUILD
  COMMAND ${HALYARD_DLLTOOL} ${HALYARD_DLLTOOL_ARGS} -D Halyard.dll
          -d ${HALYARD_IMPORT_DEF} -l $<TARGET_LINKER_FILE:Halyard>
  COMMENT "Writing the short-format import library Halyard.lib"
  VERBATIM)
set_property(TARGET Halyard APPEND PROPERTY LINK_DEPENDS ${HALYARD_IMPORT_DEF})
