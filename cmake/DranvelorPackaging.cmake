# Release packages, made by cpack in a plug-in tree: a zip per Windows tree, a tar.gz and a
# Debian package from the Linux tree. Two install components keep their layouts apart: "archive"
# (the plug-in, the standalone program and their papers side by side) and "deb" (the plug-in
# under /usr/lib/vst, the program under /usr/bin); DranvelorCPackOptions.cmake gives each
# generator its own. The Windows installer and the debug symbols archive take both Windows trees
# and are made by packaging/make-dist.sh.
set(package_dir ${PROJECT_SOURCE_DIR}/packaging)
set(cpack_options ${CMAKE_CURRENT_LIST_DIR}/DranvelorCPackOptions.cmake)
set(DRANVELOR_MAINTAINER "Ostravelk <support@ostravelk.example>")
set(papers ${PROJECT_BINARY_DIR}/packaging)
configure_file(${package_dir}/README.txt.in ${papers}/README.txt @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${papers}/LICENSE.txt COPYONLY)

# A release must not vary with the time it was made: ld and objcopy would stamp it into a DLL's
# (or a program's) headers, so ld stamps nothing and objcopy the fixed SOURCE_DATE_EPOCH it
# honours.
if(WIN32)
  target_link_options(Dranvelor PRIVATE -Wl,--no-insert-timestamp)
endif()

# Every package ships its binaries stripped; the debug information of each goes to a file of its
# own, named with its checksum in the stripped binary's .gnu_debuglink so that debuggers find it
# beside the binary. The tree keeps the unstripped binaries for the tests.
set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
set(shipped_binaries)
# dranvelor_strip(<target> <stripped file> <debug file>)
function(dranvelor_strip target stripped debug)
  get_filename_component(stripped_dir ${stripped} DIRECTORY)
  get_filename_component(debug_dir ${debug} DIRECTORY)
  add_custom_command(
    OUTPUT ${stripped} ${debug}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stripped_dir} ${debug_dir}
    COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${objcopy} --strip-unneeded --remove-section=.comment --add-gnu-debuglink=${debug}
            $<TARGET_FILE:${target}> ${stripped}
    DEPENDS ${target}
    COMMENT "Stripping ${target} for the packages")
  set(shipped_binaries ${shipped_binaries} ${stripped} PARENT_SCOPE)
endfunction()

set(DRANVELOR_SHIPPED_PLUGIN ${papers}/stripped/Dranvelor${CMAKE_SHARED_MODULE_SUFFIX})
dranvelor_strip(Dranvelor ${DRANVELOR_SHIPPED_PLUGIN} ${DRANVELOR_SHIPPED_PLUGIN}.debug)

install(FILES ${DRANVELOR_SHIPPED_PLUGIN} DESTINATION . COMPONENT archive)
install(FILES ${papers}/README.txt ${papers}/LICENSE.txt DESTINATION . COMPONENT archive)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(platform win32)
  else()
    set(platform win64)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  set(platform linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR "TGZ;DEB")
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/install-plugin.sh DESTINATION . RENAME install.sh
          COMPONENT archive)

  # Debian wants the licence as its copyright file and a compressed changelog in the docs.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REGEX REPLACE "\n([^\n])" "\n \\1" licence "\n${licence}")
  file(WRITE ${papers}/copyright
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: Dranvelor\n\nFiles: *\nCopyright: 2026 Ostravelk\nLicense: proprietary"
       "${licence}")
  configure_file(${package_dir}/changelog.in ${papers}/changelog @ONLY)
  add_custom_command(OUTPUT ${papers}/changelog.gz
                     COMMAND gzip -9nc ${papers}/changelog > ${papers}/changelog.gz
                     DEPENDS ${papers}/changelog)
  add_custom_target(dranvelor_changelog ALL DEPENDS ${papers}/changelog.gz)
  install(FILES ${DRANVELOR_SHIPPED_PLUGIN} DESTINATION lib/vst COMPONENT deb)
  install(FILES ${papers}/copyright ${papers}/changelog.gz ${papers}/README.txt
          DESTINATION share/doc/dranvelor COMPONENT deb)

  # The LV2 bundle: beside the plug-in in the archive, under /usr/lib/lv2 in the Debian package,
  # its binaries stripped as the plug-in is; their debug files lie beside the bundle, not in it.
  if(TARGET dranvelor_lv2)
    set(shipped_bundle ${papers}/stripped/Dranvelor.lv2)
    set(bundle_files)
    foreach(ttl ${DRANVELOR_LV2_TTL_FILES})
      get_filename_component(ttl_name ${ttl} NAME)
      add_custom_command(OUTPUT ${shipped_bundle}/${ttl_name}
                         COMMAND ${CMAKE_COMMAND} -E copy ${ttl} ${shipped_bundle}/${ttl_name}
                         DEPENDS ${ttl} dranvelor_lv2)
      list(APPEND bundle_files ${shipped_bundle}/${ttl_name})
    endforeach()
    set(shipped_binaries ${shipped_binaries} ${bundle_files})
    foreach(target dranvelor_lv2_dsp dranvelor_lv2_ui)
      get_target_property(binary ${target} OUTPUT_NAME)
      dranvelor_strip(${target} ${shipped_bundle}/${binary}
                      ${papers}/stripped/Dranvelor.lv2-symbols/${binary}.debug)
      list(APPEND bundle_files ${shipped_bundle}/${binary})
    endforeach()
    foreach(place "archive;Dranvelor.lv2" "deb;lib/lv2/Dranvelor.lv2")
      list(GET place 0 component)
      list(GET place 1 bundle)
      install(FILES ${bundle_files} DESTINATION ${bundle} COMPONENT ${component})
    endforeach()
  endif()
endif()

# The standalone program's icon, a frame of the Drive knob drawn by the skin at each size: PNG
# images for the Linux desktop, a .ico for the Windows program and its shortcut. The maker runs
# on the build machine, so a cross tree builds it as a project of its own, every time, for only
# its own build sees a change to the skin's sources; either is built only when a program needs
# its icon.
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(icon_tool ${papers}/icon-tool/dranvelor_icon)
  ExternalProject_Add(dranvelor_icon_tool
    SOURCE_DIR ${package_dir}/icon
    BINARY_DIR ${papers}/icon-tool
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${icon_tool}
    EXCLUDE_FROM_ALL ON)
  set(icon_tool_dependencies dranvelor_icon_tool ${icon_tool})
else()
  add_subdirectory(${package_dir}/icon ${papers}/icon-tool EXCLUDE_FROM_ALL)
  set(icon_tool $<TARGET_FILE:dranvelor_icon>)
  set(icon_tool_dependencies dranvelor_icon)
endif()
set(DRANVELOR_ICON_SIZES 48 128 256)

function(dranvelor_program_icon)
  set(icon_dir ${papers}/icon)
  set(arguments --frame 100)
  set(outputs)
  set(directories)
  if(WIN32)
    list(APPEND arguments --ico ${icon_dir}/Dranvelor.ico 16,24,32,48,256)
    list(APPEND outputs ${icon_dir}/Dranvelor.ico)
  else()
    foreach(size ${DRANVELOR_ICON_SIZES})
      set(png ${papers}/stripped/icons/hicolor/${size}x${size}/apps/dranvelor.png)
      list(APPEND arguments --png ${size} ${png})
      list(APPEND outputs ${png})
      list(APPEND directories ${papers}/stripped/icons/hicolor/${size}x${size}/apps)
    endforeach()
  endif()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir} ${directories}
    COMMAND ${icon_tool} ${arguments}
    DEPENDS ${icon_tool_dependencies}
    COMMENT "Making the program's icon")
  set(icon_files ${outputs} PARENT_SCOPE)
endfunction()

# Once every folder is read: the standalone program, when the tree has one, ships beside the
# plug-in, stripped likewise; then CPack writes its configuration.
function(dranvelor_finish_packages)
  set(summary "mono overdrive effect (VST 2.4 and LV2 plug-in)")
  set(program_text "")
  set(program "")
  if(TARGET dranvelor_standalone)
    set(summary "mono overdrive effect (VST 2.4 and LV2 plug-in, standalone program)")
    set(program_text "
The program dranvelor plays through the same effect without a host, from an
audio input to an output (JACK or ALSA), with the same window.")
    get_target_property(name dranvelor_standalone OUTPUT_NAME)
    set(program ${papers}/stripped/${name}${CMAKE_EXECUTABLE_SUFFIX})
    dranvelor_strip(dranvelor_standalone ${program} ${program}.debug)
    dranvelor_program_icon()
    install(PROGRAMS ${program} DESTINATION . COMPONENT archive)
    if(WIN32)
      target_link_options(dranvelor_standalone PRIVATE -Wl,--no-insert-timestamp)
      # The program's icon: the first icon resource of an executable is the one Windows shows.
      set(rc ${papers}/icon/dranvelor_icon.rc)
      file(CONFIGURE OUTPUT ${rc} CONTENT "1 ICON \"${papers}/icon/Dranvelor.ico\"\n")
      target_sources(dranvelor_standalone PRIVATE ${rc})
      set_source_files_properties(${rc} TARGET_DIRECTORY dranvelor_standalone
                                  PROPERTIES OBJECT_DEPENDS ${papers}/icon/Dranvelor.ico)
      add_custom_target(dranvelor_program_icon DEPENDS ${icon_files})
      add_dependencies(dranvelor_standalone dranvelor_program_icon)
    else()
      list(APPEND shipped_binaries ${icon_files})
      set(desktop ${papers}/stripped/dranvelor.desktop)
      configure_file(${package_dir}/dranvelor.desktop ${desktop} COPYONLY)
      install(FILES ${desktop} DESTINATION . COMPONENT archive)
      install(PROGRAMS ${program} DESTINATION bin COMPONENT deb)
      install(FILES ${desktop} DESTINATION share/applications COMPONENT deb)
      foreach(size ${DRANVELOR_ICON_SIZES})
        set(folder icons/hicolor/${size}x${size}/apps)
        install(FILES ${papers}/stripped/${folder}/dranvelor.png DESTINATION ${folder} COMPONENT archive)
        install(FILES ${papers}/stripped/${folder}/dranvelor.png DESTINATION share/${folder}
                COMPONENT deb)
      endforeach()
    endif()
  endif()

  add_custom_target(dranvelor_shipped_binaries ALL DEPENDS ${shipped_binaries})
  set_target_properties(dranvelor_shipped_binaries PROPERTIES DRANVELOR_FILE ${DRANVELOR_SHIPPED_PLUGIN}
                                                              DRANVELOR_PROGRAM "${program}")

  set(CPACK_PACKAGE_NAME Dranvelor)
  set(CPACK_PACKAGE_VENDOR Ostravelk)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME Dranvelor-${PROJECT_VERSION}-${platform})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${summary}")
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CPACK_PROJECT_CONFIG_FILE ${cpack_options})
  set(CPACK_DRANVELOR_BINARY_DIR ${PROJECT_BINARY_DIR})

  set(CPACK_DEBIAN_PACKAGE_NAME dranvelor)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DRANVELOR_MAINTAINER})
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Dranvelor drives the upper part of a guitar's spectrum into a soft saturation,
oversampled eight times, with a tone control and an output level. Hosts that
load VST 2.4 plug-ins find it in /usr/lib/vst, LV2 hosts in /usr/lib/lv2.${program_text}")
  include(CPack)
endfunction()
cmake_language(DEFER CALL dranvelor_finish_packages)
