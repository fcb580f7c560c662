# graphonite_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>])
#
# Builds one GoogleTest executable and registers its tests with CTest. GUI tests run with Qt's
# offscreen platform so that they need no display. The executable also joins the <label>_tests
# target of each of its labels (see graphonite_add_label_targets). A source that many programs of a
# folder list is compiled once where graphonite_share_test_source names it.
find_package(GTest REQUIRED)
include(GoogleTest)

# GoogleTest's header (and, for the tests that use Qt's test library, Qt's) costs more to read than
# most test files themselves, so it is read once into a precompiled header that the test programs
# reuse. A program may add definitions of its own but must not differ in any that the header was
# built with, nor in other options (clang refuses the header then): the header's targets carry no
# definitions of ours, everything is position-independent as Qt wants, and the Qt one is made per
# folder because Qt's test library defines the folder it is used in.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

# Test programs are built without optimisation and with line tables only, after the build's own
# options: they compile in a fraction of the time, and the code they test keeps the build's flags.
set(GRAPHONITE_TEST_OPTIONS -O0 -g1 CACHE STRING "Compile options of the test programs, after the build's own")
set(graphonite_test_options -fPIC ${GRAPHONITE_TEST_OPTIONS})

set(graphonite_pch_source "${CMAKE_BINARY_DIR}/graphonite_test_pch.cpp")
file(CONFIGURE OUTPUT "${graphonite_pch_source}" CONTENT "// Compiles the tests' precompiled header.\n")
set(graphonite_pch_headers <gtest/gtest.h> <string> <vector> <cstdint> <memory>)
add_library(graphonite_test_pch OBJECT "${graphonite_pch_source}")
target_link_libraries(graphonite_test_pch PRIVATE GTest::gtest graphonite_warnings)
target_compile_options(graphonite_test_pch PRIVATE ${graphonite_test_options})
target_precompile_headers(graphonite_test_pch PRIVATE ${graphonite_pch_headers})

# The precompiled header with Qt for the test programs of the current folder.
function(graphonite_qt_test_pch out)
  file(RELATIVE_PATH folder "${CMAKE_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(MAKE_C_IDENTIFIER "graphonite_qt_test_pch_${folder}" pch)
  if(NOT TARGET ${pch})
    add_library(${pch} OBJECT "${graphonite_pch_source}")
    target_link_libraries(${pch} PRIVATE GTest::gtest Qt6::Widgets Qt6::Test graphonite_warnings)
    target_compile_options(${pch} PRIVATE ${graphonite_test_options})
    target_precompile_headers(${pch} PRIVATE
      ${graphonite_pch_headers} <QApplication> <QTest> <QWidget> <QLineEdit> <QPointer>)
  endif()
  set(${out} ${pch} PARENT_SCOPE)
endfunction()

# The target that holds the one compiled copy of a shared test source of the current folder.
function(graphonite_shared_test_source_target out source)
  file(RELATIVE_PATH folder "${CMAKE_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(MAKE_C_IDENTIFIER "graphonite_shared_${folder}_${source}" target)
  set(${out} ${target} PARENT_SCOPE)
endfunction()

# graphonite_share_test_source(<file> LIBS <targets...>)
#
# The test programs of the current folder that list <file> among their SOURCES share one compiled
# copy of it instead of compiling it each. Call it before those programs are added.
function(graphonite_share_test_source source)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  graphonite_shared_test_source_target(target ${source})
  add_library(${target} OBJECT ${source})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest graphonite_warnings)
  target_precompile_headers(${target} REUSE_FROM graphonite_test_pch)
  target_compile_options(${target} PRIVATE ${graphonite_test_options})
endfunction()

function(graphonite_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  set(sources "")
  set(shared "")
  foreach(source IN LISTS ARG_SOURCES)
    graphonite_shared_test_source_target(target ${source})
    if(TARGET ${target})
      list(APPEND shared ${target})
    else()
      list(APPEND sources ${source})
    endif()
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${shared} ${ARG_LIBS} GTest::gtest GTest::gtest_main graphonite_warnings)
  # Programs that use Qt's test library get the header with Qt in it; their definitions match it.
  if("Qt6::Test" IN_LIST ARG_LIBS AND "Qt6::Widgets" IN_LIST ARG_LIBS)
    graphonite_qt_test_pch(pch)
  else()
    set(pch graphonite_test_pch)
  endif()
  target_precompile_headers(${name} REUSE_FROM ${pch})
  target_compile_options(${name} PRIVATE ${graphonite_test_options})
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
