# Installation (cmake --install) and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

# Manual pages and the changelog are installed compressed, as Debian expects
# them (gzip -9n: best compression, no name or time stamp, so the package is
# the same from build to build).
function(lumora_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_BINARY_DIR}/dist/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
    COMMAND gzip -9nc ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  string(MAKE_C_IDENTIFIER ${name} target)
  add_custom_target(lumora_gzip_${target} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${destination})
endfunction()

# Each program with its manual page. A stripped install (the package's) also
# drops the compilers' identification notes, as Debian's own tools do.
foreach(program lumora lumora-cli lumora-sim)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")
  lumora_install_gzipped(${CMAKE_SOURCE_DIR}/dist/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The desktop entries (the program, and its commissioning window) and the
# program's icon in each of its sizes.
install(FILES ${CMAKE_SOURCE_DIR}/dist/lumora.desktop ${CMAKE_SOURCE_DIR}/dist/lumora-commissioning.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 256)
  install(FILES ${CMAKE_SOURCE_DIR}/src/ui/resources/lumora-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME lumora.png)
endforeach()

# The package's documentation: the changelog (a Debian native package's, so
# named changelog.gz) and the licence in Debian's machine-readable format.
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/lumora)
lumora_install_gzipped(${CMAKE_SOURCE_DIR}/dist/changelog ${doc_dir})
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright DESTINATION ${doc_dir})

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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-arphic-uming | fonts-wqy-microhei, fonts-dejavu-core")
include(CPack)
