# graphonite_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>])
#
# Builds one GoogleTest executable and registers its tests with CTest. GUI tests run with Qt's
# offscreen platform so that they need no display. The executable also joins the <label>_tests
# target of each of its labels (see graphonite_add_label_targets).
find_package(GTest REQUIRED)
include(GoogleTest)

function(graphonite_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main graphonite_warnings)
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
