# The installer package under Wine: installed silently, upgraded by a package one version
# higher, removed. Both packages are built here from this tree's program.
find_program(CHRONSET_WIXL wixl REQUIRED)
# An installer version has three parts; ./x dist refuses a project version of any other form.
set(package_version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
math(EXPR upgrade_patch "${PROJECT_VERSION_PATCH} + 1")
set(upgrade_version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${upgrade_patch}")
set(package_dir ${CMAKE_CURRENT_BINARY_DIR}/packages)
set(package_inputs ${CMAKE_SOURCE_DIR}/tools/make-msi.sh ${CMAKE_SOURCE_DIR}/tools/rgs-to-wix.py
  ${CMAKE_SOURCE_DIR}/tools/release-texts.sh ${CMAKE_SOURCE_DIR}/installer/chronset.wxs
  ${CMAKE_SOURCE_DIR}/res/chronset.rgs ${CMAKE_SOURCE_DIR}/res/chronset.ico ${CMAKE_SOURCE_DIR}/docs/windows-readme.txt)
set(packages "")
foreach(version IN ITEMS ${package_version} ${upgrade_version})
  set(package ${package_dir}/chronset-${version}-${CHRONSET_ARCH}.msi)
  add_custom_command(OUTPUT ${package}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/make-msi.sh ${CHRONSET_ARCH} ${version}
            $<TARGET_FILE:chronset${CHRONSET_BITS}> ${package}
    DEPENDS chronset${CHRONSET_BITS} ${package_inputs}
    COMMENT "Building the ${version} installer package")
  list(APPEND packages ${package})
endforeach()
add_custom_target(test_packages ALL DEPENDS ${packages})

chronset_test_program(package_tests
  SOURCES package_test.cpp RegistryTestKeys.cpp
  LIBS chronset_app)
add_dependencies(package_tests test_packages)
list(GET packages 0 package)
list(GET packages 1 upgrade_package)
chronset_add_test(installer package_tests LOCK registry TIMEOUT 600
  ENV "CHRONSET_PACKAGE=Z:${package}" "CHRONSET_UPGRADE_PACKAGE=Z:${upgrade_package}"
      "CHRONSET_PACKAGE_VERSION=${package_version}" "CHRONSET_UPGRADE_VERSION=${upgrade_version}"
      "CHRONSET_PROGRAM_NAME=chronset${CHRONSET_BITS}.exe")
