# Window tests of the main sheet and its chrome: real sheets under Xvfb.
chronset_test_program(sheet_tests RESOURCES
  SOURCES sheet_test.cpp chrome_test.cpp combos_test.cpp apply_sequence_test.cpp selection_sheet_test.cpp
          preview_undo_sheet_test.cpp date_taken_sheet_test.cpp
  LIBS chronset_sheet_driver chronset_test_properties)

# A file whose times cannot be written: immutable on the Linux side for the length of the run.
set(locked_dir ${CMAKE_CURRENT_BINARY_DIR}/locked)
string(REPLACE "/" "\\\\" locked_windows "Z:${locked_dir}")
chronset_add_fixture_step(app.locked.setup locked SETUP
  bash ${CMAKE_CURRENT_SOURCE_DIR}/immutable_fixture.sh setup ${locked_dir})
chronset_add_fixture_step(app.locked.cleanup locked CLEANUP
  bash ${CMAKE_CURRENT_SOURCE_DIR}/immutable_fixture.sh cleanup ${locked_dir})

chronset_add_test(app.sheet sheet_tests LANG en ja ENV "CHRONSET_LOCKED_FOLDER=${locked_windows}")
foreach(lang en ja)
  set_tests_properties("${CHRONSET_ARCH}.app.sheet[${lang}]" PROPERTIES FIXTURES_REQUIRED ${CHRONSET_ARCH}_locked)
endforeach()

# The real program under Wine: its window is found, OK pressed, the exit code checked.
add_executable(program_tests program_test.cpp)
target_link_libraries(program_tests PRIVATE gtest chronset_test_support)
add_dependencies(program_tests chronset${CHRONSET_BITS})
chronset_add_test(app.program program_tests ARGS "Z:${CMAKE_BINARY_DIR}/app/chronset${CHRONSET_BITS}.exe")
