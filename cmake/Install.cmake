# Installation (cmake --install) and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

foreach(program lumora lumora-cli lumora-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The desktop entry and the icon belong to the program.
if(TARGET lumora)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/lumora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  file(GLOB lumora_icons ${CMAKE_SOURCE_DIR}/src/ui/resources/lumora-*.png)
  foreach(icon ${lumora_icons})
    if(icon MATCHES "lumora-([0-9]+)\\.png$")
      set(size ${CMAKE_MATCH_1})
      install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME lumora.png)
    endif()
  endforeach()
endif()

# Manual pages are installed compressed, as Debian expects them.
if(TARGET lumora-cli)
  set(man_source ${CMAKE_SOURCE_DIR}/dist/lumora-cli.1)
  set(man_gz ${CMAKE_BINARY_DIR}/lumora-cli.1.gz)
  add_custom_command(OUTPUT ${man_gz}
    COMMAND gzip -9nc ${man_source} > ${man_gz}
    DEPENDS ${man_source} VERBATIM)
  add_custom_target(lumora_manpages ALL DEPENDS ${man_gz})
  install(FILES ${man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumora")
set(CPACK_PACKAGE_CONTACT "Lumora maintainers <maintainers@lumora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for fibre-network equipment on a serial line")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Lumora reads and configures optical transmitters and receivers, return-path\n"
  "modules, EDFA amplifiers, optical nodes and communication boards over a\n"
  "serial line. The package holds the program, the command-line tool\n"
  "lumora-cli and the device simulator lumora-sim.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Library dependencies come from dpkg-shlibdeps; the platform plugins and a
# font with Chinese glyphs are loaded at run time, which it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET lumora)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-arphic-uming | fonts-wqy-microhei, fonts-dejavu-core")
endif()
include(CPack)

# The package test builds the package from this build tree, unpacks it and
# runs the packaged tools against the simulator (not in the sanitizer build,
# whose binaries are no package material).
if(TARGET lumora-cli AND TARGET lumora-sim AND NOT LUMORA_SANITIZE)
  add_test(NAME package
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/package_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_CPACK_COMMAND})
  set_tests_properties(package PROPERTIES LABELS package TIMEOUT 300)
endif()
