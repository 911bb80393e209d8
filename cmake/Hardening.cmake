# Hardening builds: the sanitizer and libFuzzer configurations.
#
# LUMORA_SANITIZE (top level) instruments everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; scripts/test builds it into build-asan and runs
# the whole suite there. LUMORA_FUZZ (clang only, used by scripts/fuzz into
# build-fuzz) adds libFuzzer's coverage instrumentation on top of both and
# links the fuzz targets (fuzz/CMakeLists.txt) with libFuzzer instead of the
# replay driver.
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
