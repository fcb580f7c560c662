# graphonite_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>])
#
# Builds one GoogleTest executable and registers its tests with CTest. GUI tests run with Qt's
# offscreen platform so that they need no display.
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
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${name}."
    PROPERTIES ${properties})
endfunction()
