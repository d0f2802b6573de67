# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread model lacks.
set(CMAKE_C_COMPILER ${CHRONSET_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CHRONSET_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CHRONSET_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CHRONSET_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests and tools built here run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
