# clang++ for the MinGW ABI, as a second compiler next to GCC: Debian's MinGW headers and
# libraries as the sysroot, the C++ library and runtime of the -posix GCC (clang finds neither
# by itself: it cannot read a GCC folder named "12-posix"), lld to link, MinGW's windres.
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${CHRONSET_TRIPLET})
set(CMAKE_CXX_COMPILER_TARGET ${CHRONSET_TRIPLET})
set(CMAKE_RC_COMPILER ${CHRONSET_TRIPLET}-windres)
set(CMAKE_SYSROOT /usr/${CHRONSET_TRIPLET})

execute_process(COMMAND ${CHRONSET_TRIPLET}-g++-posix -print-libgcc-file-name
  OUTPUT_VARIABLE chronset_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE chronset_gcc_status)
if(NOT chronset_gcc_status EQUAL 0)
  message(FATAL_ERROR "${CHRONSET_TRIPLET}-g++-posix is missing: clang uses its C++ library")
endif()
get_filename_component(chronset_gcc_dir ${chronset_libgcc} DIRECTORY)
set(chronset_cxx_include ${chronset_gcc_dir}/include/c++)
set(CMAKE_CXX_FLAGS_INIT
  "-nostdinc++ -isystem ${chronset_cxx_include} -isystem ${chronset_cxx_include}/${CHRONSET_TRIPLET} -isystem ${chronset_cxx_include}/backward")
# GCC's runtime of the posix thread model calls winpthreads, which GCC's own driver adds. CMake
# repeats the compile flags when it links, where -nostdinc++ has nothing to do.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -L${chronset_gcc_dir} -lpthread -Wno-unused-command-line-argument")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${CHRONSET_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
