# Windows builds: Qt for Windows is static (scripts/windows-qt), and so is
# everything else, so that each .exe imports system DLLs only.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# Release executables ship without their symbol tables (a third of the size).
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

# A version resource for TARGET (from the project's version), with the
# program's icon when ICON is given.
function(lumora_windows_resources target description)
  cmake_parse_arguments(ARG "" "ICON" "" ${ARGN})
  set(LUMORA_RC_NAME ${target})
  set(LUMORA_RC_DESCRIPTION "${description}")
  if(ARG_ICON)
    set(LUMORA_RC_ICON "1 ICON \"${ARG_ICON}\"")
  else()
    set(LUMORA_RC_ICON "")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
