# Hardening builds: the libFuzzer configuration and the fuzz targets.
#
# LUMORA_SANITIZE (top level) instruments everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; scripts/test builds it into build-asan and runs
# the whole suite there. LUMORA_FUZZ (clang only, used by scripts/fuzz into
# build-fuzz) adds libFuzzer's coverage instrumentation on top of both and
# links the fuzz targets with libFuzzer instead of the replay driver.
option(LUMORA_FUZZ "Build the fuzz targets with libFuzzer (clang only)" OFF)

# The distribution's hardening flags (dpkg-buildflags, hardening=+all) in the
# normal build, which is what the package holds: checked string and memory
# functions, stack protector, format checks, read-only relocations bound at
# start. Fortified functions need optimisation, so not in Debug builds; the
# sanitizer and fuzz builds check memory their own way.
if(NOT LUMORA_SANITIZE AND NOT LUMORA_FUZZ)
  add_compile_options(-fstack-protector-strong -Werror=format-security
    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()

if(LUMORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMORA_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzz targets. Every fuzz/<name>.cpp but the replay driver defines
# LLVMFuzzerTestOneInput and has a committed seed corpus fuzz/corpus/<name>/.
# In the normal and the sanitizer build each target is linked with the replay
# driver and ctest replays its corpus (a regression test that needs no
# clang); with LUMORA_FUZZ it is linked with libFuzzer for scripts/fuzz.
# Targets named ui_* link the program's windows library, all others the
# device link with the simulator engine; a target whose library does not
# exist is skipped.
function(lumora_add_fuzz_targets)
  set(dir ${CMAKE_SOURCE_DIR}/fuzz)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/replay_main\\.cpp$")
  if(NOT LUMORA_FUZZ)
    add_library(lumora_fuzz_replay STATIC ${dir}/replay_main.cpp)
  endif()
  foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    if(name MATCHES "^ui_")
      set(lib lumora_ui)
    else()
      set(lib lumora_sim_engine)
    endif()
    if(NOT TARGET ${lib})
      continue()
    endif()
    set(target fuzz-${name})
    add_executable(${target} ${src} ${dir}/FuzzCheck.h)
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
    target_include_directories(${target} PRIVATE ${dir})
    target_link_libraries(${target} PRIVATE ${lib})
    set(corpus ${dir}/corpus/${name})
    if(LUMORA_FUZZ)
      target_link_options(${target} PRIVATE -fsanitize=fuzzer)
      add_test(NAME fuzz_replay_${name} COMMAND ${target} -runs=0 ${corpus})
    else()
      target_link_libraries(${target} PRIVATE lumora_fuzz_replay)
      add_test(NAME fuzz_replay_${name} COMMAND ${target} ${corpus})
    endif()
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS fuzz TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
endfunction()
# The targets need the libraries, so they are made once the whole top-level
# list has been read.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL lumora_add_fuzz_targets)
