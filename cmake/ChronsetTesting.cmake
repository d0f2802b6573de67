# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# It gets its own warning flags, not the program's (nor their -Werror).
get_directory_property(chronset_compile_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${chronset_compile_options}")

# One Wine prefix and one set of generated locales per test run, made by ./x test.
set(CHRONSET_TEST_ROOT "${CMAKE_BINARY_DIR}/.." CACHE PATH "Folder holding the Wine prefix and locales of a test run")
set(CHRONSET_REPO_ROOT "${CMAKE_SOURCE_DIR}")

# chronset_add_test(NAME TARGET [TZ zone...] [LANG en|ja...] [ARGS ...] [LOCK name...] [TIMEOUT s] [ENV k=v...])
# Adds one ctest entry per time zone and language, named ARCH.NAME[zone,lang], labelled
# ARCH-wine (where 32-bit programs cannot run, ./x test leaves out the x86-wine ones).
function(chronset_add_test name target)
  cmake_parse_arguments(T "" "TIMEOUT" "TZ;LANG;ARGS;LOCK;ENV" ${ARGN})
  if(NOT T_TZ)
    set(T_TZ UTC)
  endif()
  if(NOT T_LANG)
    set(T_LANG en)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  list(LENGTH T_TZ ntz)
  list(LENGTH T_LANG nlang)
  foreach(tz IN LISTS T_TZ)
    foreach(lang IN LISTS T_LANG)
      set(tname "${CHRONSET_ARCH}.${name}")
      set(tags "")
      if(ntz GREATER 1)
        list(APPEND tags "${tz}")
      endif()
      if(nlang GREATER 1)
        list(APPEND tags "${lang}")
      endif()
      if(tags)
        list(JOIN tags "," tagtext)
        string(APPEND tname "[${tagtext}]")
      endif()
      if(lang STREQUAL "ja")
        set(locale ja_JP.UTF-8)
      else()
        set(locale en_US.UTF-8)
      endif()
      add_test(NAME ${tname} COMMAND ${target} ${T_ARGS})
      # ctest's limit ends a hung program before the runner's own, so that ctest sees a
      # timeout (which it runs again) rather than a failure.
      math(EXPR run_limit "${T_TIMEOUT} + 30")
      set_tests_properties(${tname} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        LABELS ${CHRONSET_ARCH}-wine
        ENVIRONMENT "TZ=${tz};LANG=${locale};LC_ALL=${locale};LOCPATH=${CHRONSET_TEST_ROOT}/locale;WINEPREFIX=${CHRONSET_TEST_ROOT}/wineprefix;CHRONSET_RUN_TIMEOUT=${run_limit};CHRONSET_REPO=${CHRONSET_REPO_ROOT};${T_ENV}")
      if(T_LOCK)
        set_tests_properties(${tname} PROPERTIES RESOURCE_LOCK "${T_LOCK}")
      endif()
    endforeach()
  endforeach()
endfunction()

# A GoogleTest program: sources, libraries to link, and a console entry point.
function(chronset_test_program target)
  cmake_parse_arguments(P "RESOURCES" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${P_SOURCES})
  if(P_RESOURCES)
    target_sources(${target} PRIVATE ${CHRONSET_RESOURCE_FILE})
  endif()
  target_link_libraries(${target} PRIVATE ${P_LIBS} chronset_test_support gmock gtest_main)
endfunction()

# A Linux-side step that a Wine test needs (a fixture's setup or cleanup): it goes with the
# tests it serves.
function(chronset_add_fixture_step name fixture role)
  add_test(NAME ${CHRONSET_ARCH}.${name} COMMAND ${ARGN})
  set_tests_properties(${CHRONSET_ARCH}.${name} PROPERTIES FIXTURES_${role} ${CHRONSET_ARCH}_${fixture}
    LABELS ${CHRONSET_ARCH}-wine)
endfunction()
