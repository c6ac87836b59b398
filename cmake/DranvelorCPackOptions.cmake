# Read by cpack once per generator: the Debian package takes the "deb" component with a
# stripped plug-in, the archives the "archive" component with the plug-in exactly as built.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(component deb)
  set(CPACK_STRIP_FILES ON)
else()
  set(component archive)
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_DRANVELOR_BINARY_DIR};Dranvelor;${component};/")
