# Hardening builds: the sanitizer and libFuzzer configurations.
#
# LUMORA_SANITIZE (top level) instruments everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; scripts/test builds it into build-asan and runs
# the whole suite there. LUMORA_FUZZ (clang only, used by scripts/fuzz into
# build-fuzz) adds libFuzzer's coverage instrumentation on top of both and
# links the fuzz targets (fuzz/CMakeLists.txt) with libFuzzer instead of the
# replay driver.
option(LUMORA_FUZZ "Build the fuzz targets with libFuzzer (clang only)" OFF)

if(LUMORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMORA_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
