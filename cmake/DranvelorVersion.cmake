# The version has one home, project(VERSION) in the top CMakeLists.txt. This turns it into a
# header for the effect (vendor version) and the resource script (version resource), and the
# packages read it from there too.
if(PROJECT_VERSION_MINOR GREATER 9 OR PROJECT_VERSION_PATCH GREATER 99)
  # Hosts compare the vendor version as one number: major × 1000 + minor × 100 + patch.
  message(FATAL_ERROR "version ${PROJECT_VERSION}: minor must stay below 10, patch below 100")
endif()
math(EXPR DRANVELOR_VENDOR_VERSION
     "${PROJECT_VERSION_MAJOR} * 1000 + ${PROJECT_VERSION_MINOR} * 100 + ${PROJECT_VERSION_PATCH}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/dranvelor_version.h.in
               ${PROJECT_BINARY_DIR}/generated/dranvelor_version.h @ONLY)
add_library(dranvelor_version INTERFACE)
target_include_directories(dranvelor_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
