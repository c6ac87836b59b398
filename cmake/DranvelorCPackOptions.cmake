# Read by cpack once per generator: the Debian package takes the "deb" component, the archives
# the "archive" component; both carry the plug-in already stripped by the build.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(component deb)
else()
  set(component archive)
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_DRANVELOR_BINARY_DIR};Dranvelor;${component};/")
