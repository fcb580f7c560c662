# graphonite_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>])
#
# Builds one GoogleTest executable and registers its tests with CTest. GUI tests run with Qt's
# offscreen platform so that they need no display. The executable also joins the <label>_tests
# target of each of its labels (see graphonite_add_label_targets).
find_package(GTest REQUIRED)
include(GoogleTest)

# GoogleTest's header (and, for the toolkit's tests, Qt's) costs more to read than most test files
# themselves, so it is read once per build into a precompiled header that every test program
# reuses. The precompiling targets carry no definitions of ours: a test program may add its own,
# but may not differ in any the header was built with (clang refuses the header then).
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
set(graphonite_pch_source "${CMAKE_BINARY_DIR}/graphonite_test_pch.cpp")
file(CONFIGURE OUTPUT "${graphonite_pch_source}" CONTENT "// Compiles the tests' precompiled header.\n")
add_library(graphonite_test_pch OBJECT "${graphonite_pch_source}")
target_link_libraries(graphonite_test_pch PRIVATE GTest::gtest graphonite_warnings)
target_precompile_headers(graphonite_test_pch PRIVATE <gtest/gtest.h> <string> <vector> <cstdint> <memory>)
add_library(graphonite_qt_test_pch OBJECT "${graphonite_pch_source}")
target_link_libraries(graphonite_qt_test_pch PRIVATE GTest::gtest Qt6::Widgets Qt6::Test graphonite_warnings)
target_precompile_headers(graphonite_qt_test_pch PRIVATE
  <gtest/gtest.h> <string> <vector> <cstdint> <memory> <QApplication> <QTest> <QWidget> <QLineEdit> <QPointer>)

function(graphonite_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main graphonite_warnings)
  # Programs that use Qt's test library get the header with Qt in it; their definitions match it.
  if("Qt6::Test" IN_LIST ARG_LIBS AND "Qt6::Widgets" IN_LIST ARG_LIBS)
    target_precompile_headers(${name} REUSE_FROM graphonite_qt_test_pch)
  else()
    target_precompile_headers(${name} REUSE_FROM graphonite_test_pch)
  endif()
  target_compile_definitions(${name} PRIVATE
    GRAPHONITE_CORPORA_DIR="${GRAPHONITE_CORPORA_DIR}"
    GRAPHONITE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    GRAPHONITE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # An empty ENVIRONMENT value would swallow the LABELS that follow it, so pass it only for GUI tests.
  # A test that waits for something that never comes fails instead of holding the run.
  set(properties LABELS "${ARG_LABELS}" TIMEOUT 300)
  if(ARG_GUI)
    list(APPEND properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  foreach(label IN LISTS ARG_LABELS)
    graphonite_add_to_label_target(${label} ${name})
  endforeach()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${name}."
    PROPERTIES ${properties})
endfunction()

# Makes <label>_tests build the target as well: for programs that tests of that label run besides
# the GoogleTest executables (a demo driven by a script, for example).
function(graphonite_add_to_label_target label target)
  set_property(GLOBAL APPEND PROPERTY GRAPHONITE_LABEL_TARGETS_${label} ${target})
endfunction()

# One target per test label, <label>_tests, that builds every program the tests of that label
# need and nothing else; called once all tests are registered. The sanitizer lane of scripts/test
# builds only runtime_tests, imaging_tests and toolkit_tests.
function(graphonite_add_label_targets)
  foreach(label ${ARGN})
    get_property(targets GLOBAL PROPERTY GRAPHONITE_LABEL_TARGETS_${label})
    if(targets)
      add_custom_target(${label}_tests)
      add_dependencies(${label}_tests ${targets})
    endif()
  endforeach()
endfunction()
