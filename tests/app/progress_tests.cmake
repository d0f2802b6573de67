# The progress window of a long folder apply: the sink's rules with a stand-in display, and
# the real window over the program's sheet on a tree of 20,000 files made on the Linux side.
set(progress_tree ${CMAKE_CURRENT_BINARY_DIR}/progress-tree)
string(REPLACE "/" "\\" progress_tree_windows "Z:${progress_tree}")
chronset_add_fixture_step(app.progress.setup progress_tree SETUP
  bash ${CMAKE_CURRENT_SOURCE_DIR}/progress_tree.sh ${progress_tree})

chronset_test_program(progress_tests RESOURCES SOURCES progress_test.cpp LIBS chronset_sheet_driver)
chronset_add_test(app.progress progress_tests LANG en ja TIMEOUT 300
  ENV "CHRONSET_PROGRESS_TREE=${progress_tree_windows};CHRONSET_SCREENSHOTS=Z:${CMAKE_CURRENT_BINARY_DIR}")
foreach(lang en ja)
  set_tests_properties("${CHRONSET_ARCH}.app.progress[${lang}]" PROPERTIES
    FIXTURES_REQUIRED ${CHRONSET_ARCH}_progress_tree RESOURCE_LOCK progress_tree)
endforeach()

# Apply then Undo over 20,000 files made on the Linux side, whose times (to the nanosecond
# there) differ group by group; the whole tree is read back under Wine before and after each.
# About 25 s here, most of it making the tree; the limit leaves room for a slow machine.
set(undo_tree ${CMAKE_CURRENT_BINARY_DIR}/undo-tree)
string(REPLACE "/" "\\" undo_tree_windows "Z:${undo_tree}")
chronset_add_fixture_step(app.undo_tree.setup undo_tree SETUP bash ${CMAKE_CURRENT_SOURCE_DIR}/undo_tree.sh ${undo_tree})
chronset_add_fixture_step(app.undo_tree.cleanup undo_tree CLEANUP rm -rf ${undo_tree})
chronset_test_program(undo_tree_tests RESOURCES SOURCES undo_tree_test.cpp LIBS chronset_sheet_driver)
chronset_add_test(app.undo_tree undo_tree_tests TIMEOUT 600 ENV "CHRONSET_UNDO_TREE=${undo_tree_windows}")
set_tests_properties(${CHRONSET_ARCH}.app.undo_tree PROPERTIES FIXTURES_REQUIRED ${CHRONSET_ARCH}_undo_tree)
