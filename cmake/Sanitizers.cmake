# Sanitized builds: GRAINLINK_SANITIZE builds every library, program, test and benchmark with
# AddressSanitizer and UndefinedBehaviorSanitizer (gcc or clang); GRAINLINK_FUZZ does the same with
# clang and adds the coverage that libFuzzer steers by, so that one build runs both the test suite
# and the fuzz targets. Any report stops the program with a failure: nothing is recovered from.
# Included before the first target, so that every target is built the same way.
if(GRAINLINK_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "GRAINLINK_FUZZ needs clang for libFuzzer, not ${CMAKE_CXX_COMPILER_ID}: "
                      "configure a new build directory, or give -DCMAKE_CXX_COMPILER=clang++-14")
endif()

if(GRAINLINK_SANITIZE OR GRAINLINK_FUZZ)
  # gcc leaves float-to-integer overflow out of "undefined"; it is named for both compilers.
  set(grainlink_sanitizers
    -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all)
  add_compile_options(${grainlink_sanitizers} -fno-omit-frame-pointer)
  add_link_options(${grainlink_sanitizers})

  # The runtime options and leak suppressions, built into every program (cmake/sanitizer_defaults.cpp).
  add_library(grainlink_sanitizer_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cpp)
  link_libraries(grainlink_sanitizer_defaults)
endif()

if(GRAINLINK_FUZZ)
  # Coverage for libFuzzer in the code under test; the fuzz targets link libFuzzer itself.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
