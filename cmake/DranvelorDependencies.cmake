# Third-party libraries: Debian's packages natively; for Windows, libraries built by
# scripts/deps.sh into DRANVELOR_DEPS_PREFIX and GoogleTest from Debian's sources.

if(CMAKE_CROSSCOMPILING)
  set(DRANVELOR_DEPS_PREFIX "" CACHE PATH "Prefix holding libpng, libsndfile and benchmark for this target")
  if(DRANVELOR_DEPS_PREFIX)
    list(PREPEND CMAKE_FIND_ROOT_PATH ${DRANVELOR_DEPS_PREFIX})
    list(PREPEND CMAKE_PREFIX_PATH ${DRANVELOR_DEPS_PREFIX})
  endif()
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  find_library(DRANVELOR_PNG_LIB NAMES libpng16.a png16 REQUIRED)
  find_path(DRANVELOR_PNG_INCLUDE png.h PATH_SUFFIXES libpng16 REQUIRED)
  add_library(PNG::PNG STATIC IMPORTED)
  set_target_properties(PNG::PNG PROPERTIES IMPORTED_LOCATION ${DRANVELOR_PNG_LIB}
                                            INTERFACE_INCLUDE_DIRECTORIES ${DRANVELOR_PNG_INCLUDE}
                                            INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
  find_package(SndFile CONFIG REQUIRED)
  find_package(benchmark CONFIG REQUIRED)

  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(PNG REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
  add_library(SndFile::sndfile ALIAS PkgConfig::SNDFILE)
  # The plug-in's window on Linux.
  find_package(X11 REQUIRED)
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-xlib)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
endif()
