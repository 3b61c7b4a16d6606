# The compiler cache. Every clone of the project shares one ccache, wherever it lies: CI builds a
# fresh clone for every run, and a branch tried beside one's own work is another clone. Nothing
# here depends on the caller's shell, so a new machine gets the same keys.
#
# - base_dir: ccache rewrites every path under the folder that holds both the sources and the
#   build to one relative to the compiler's working folder before it computes the key.
# - Debug information names that folder ".": the working folder recorded in an object, and with
#   it the key (ccache keeps the working folder in the key once mapped), is then "./build/board"
#   in every clone. Paths in the debug information are relative to the clone: gdb finds the
#   sources when run from the clone or the program's own build folder (`directory CLONE` else).
# - __FILE__ (test failure locations) is the path from the source folder, "tests/board/x.cpp",
#   with or without the cache.
option(QUILLET_CCACHE "Compile through ccache when it is installed" ON)

# __FILE__: CMake passes absolute paths; through ccache they are relative to the working folder,
# which is the target's build folder for Makefiles and the top build folder for Ninja.
if(CMAKE_GENERATOR MATCHES "Ninja")
  cmake_path(RELATIVE_PATH CMAKE_SOURCE_DIR BASE_DIRECTORY ${CMAKE_BINARY_DIR} OUTPUT_VARIABLE up)
else()
  set(up "$<PATH:RELATIVE_PATH,${CMAKE_SOURCE_DIR},$<TARGET_PROPERTY:BINARY_DIR>>")
endif()
add_compile_options("-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=" "-fmacro-prefix-map=${up}/=")

find_program(QUILLET_CCACHE_PROGRAM ccache)
# A launcher given as plain "ccache" (as build folders configured by earlier scripts hold it) is
# taken over; any other launcher is left alone.
if(QUILLET_CCACHE AND QUILLET_CCACHE_PROGRAM
   AND (NOT CMAKE_CXX_COMPILER_LAUNCHER OR CMAKE_CXX_COMPILER_LAUNCHER MATCHES "(^|/)ccache$"))
  # The deepest folder that holds both the sources and the build; never "/", which would make
  # the system's headers relative too.
  set(base ${CMAKE_SOURCE_DIR})
  cmake_path(IS_PREFIX base ${CMAKE_BINARY_DIR} NORMALIZE inside)
  while(NOT inside)
    cmake_path(GET base PARENT_PATH base)
    cmake_path(IS_PREFIX base ${CMAKE_BINARY_DIR} NORMALIZE inside)
  endwhile()
  if(base STREQUAL "/")
    set(base ${CMAKE_SOURCE_DIR})
  endif()
  # The caller's own base_dir and hash_dir would give other keys; these settings are the
  # project's.
  set(CMAKE_CXX_COMPILER_LAUNCHER env -u CCACHE_NOHASHDIR -u CCACHE_HASHDIR
      CCACHE_BASEDIR=${base} ${QUILLET_CCACHE_PROGRAM})
  add_compile_options("-fdebug-prefix-map=${base}=.")
  # llvm-symbolizer, which names file and line in sanitizer reports, puts a relative compilation
  # folder twice into paths from DWARF 5 line tables; from DWARF 4 ones it reads them right.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_compile_options(-fdebug-default-version=4)
  endif()
endif()
