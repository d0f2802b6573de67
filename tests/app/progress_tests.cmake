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
