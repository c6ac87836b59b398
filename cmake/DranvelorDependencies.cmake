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
  # The standalone program's audio: PortAudio's static library with the Windows host APIs.
  find_library(DRANVELOR_PORTAUDIO_LIB NAMES libportaudio_static.a portaudio_static)
  find_path(DRANVELOR_PORTAUDIO_INCLUDE portaudio.h)
  if(DRANVELOR_PORTAUDIO_LIB AND DRANVELOR_PORTAUDIO_INCLUDE)
    add_library(PortAudio::PortAudio STATIC IMPORTED)
    set_target_properties(PortAudio::PortAudio PROPERTIES
      IMPORTED_LOCATION ${DRANVELOR_PORTAUDIO_LIB}
      INTERFACE_INCLUDE_DIRECTORIES ${DRANVELOR_PORTAUDIO_INCLUDE}
      INTERFACE_LINK_LIBRARIES "winmm;ole32;uuid;setupapi")
  endif()

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
  # The standalone program's audio, with PortAudio's ALSA and JACK host APIs, libjack for
  # connecting its JACK ports and libasound for keeping ALSA's probing quiet.
  pkg_check_modules(PORTAUDIO IMPORTED_TARGET portaudio-2.0)
  pkg_check_modules(JACK IMPORTED_TARGET jack)
  pkg_check_modules(ALSA IMPORTED_TARGET alsa)
  if(PORTAUDIO_FOUND AND JACK_FOUND AND ALSA_FOUND)
    add_library(PortAudio::PortAudio ALIAS PkgConfig::PORTAUDIO)
    add_library(Jack::Jack ALIAS PkgConfig::JACK)
    add_library(Alsa::Alsa ALIAS PkgConfig::ALSA)
  endif()
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
endif()
