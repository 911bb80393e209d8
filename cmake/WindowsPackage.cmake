# The Windows installer (NSIS, per user) and a zip of the executables:
# build-windows/lumora-<version>-setup.exe and lumora-<version>-windows.zip.
find_program(MAKENSIS makensis REQUIRED)
find_program(ZIP zip REQUIRED)
set(setup ${CMAKE_BINARY_DIR}/lumora-${PROJECT_VERSION}-setup.exe)
set(archive ${CMAKE_BINARY_DIR}/lumora-${PROJECT_VERSION}-windows.zip)
add_custom_command(OUTPUT ${setup}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
          -DOUTFILE=${setup} ${PROJECT_SOURCE_DIR}/dist/windows/lumora.nsi
  DEPENDS lumora lumora-cli ${PROJECT_SOURCE_DIR}/dist/windows/lumora.nsi ${PROJECT_SOURCE_DIR}/LICENSE
  COMMENT "Windows installer")
add_custom_command(OUTPUT ${archive}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${archive}
  COMMAND ${ZIP} -q -j ${archive} $<TARGET_FILE:lumora> $<TARGET_FILE:lumora-cli>
  DEPENDS lumora lumora-cli
  COMMENT "Windows zip")
add_custom_target(windows-packages ALL DEPENDS ${setup} ${archive})
