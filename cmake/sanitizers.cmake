# The sanitized build (tools/sanitized.sh): every target with AddressSanitizer and
# UndefinedBehaviorSanitizer, any report fatal. Built with clang it also carries the coverage
# instrumentation that the fuzz targets in tests/fuzz/ need, so one build folder serves both.
option(QUILLET_SANITIZE "Build with -fsanitize=address,undefined" OFF)
set(QUILLET_FUZZ OFF)
if(QUILLET_SANITIZE)
  target_compile_options(quillet_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(quillet_options INTERFACE -fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(quillet_options INTERFACE -fsanitize=fuzzer-no-link)
    set(QUILLET_FUZZ ON)
  endif()
endif()
