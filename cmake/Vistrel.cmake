# Helpers shared by every module of the tree.

# Strict warnings for our own code; third-party headers come in as SYSTEM includes.
function(vistrel_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A shared library of ours: hidden visibility, strict warnings, headers found from the given include root.
#   vistrel_library(<target> [OUTPUT_NAME name] [INCLUDE_ROOT dir] SOURCES ... [LIBS ...])
function(vistrel_library target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME;INCLUDE_ROOT" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  vistrel_strict(${target})
  if(ARG_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  if(NOT ARG_INCLUDE_ROOT)
    set(ARG_INCLUDE_ROOT "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  target_include_directories(${target} PUBLIC "${ARG_INCLUDE_ROOT}")
  target_link_libraries(${target} PUBLIC ${ARG_LIBS})
endfunction()

# One GoogleTest executable per module, run through the shared test main (QApplication, C numeric locale,
# message-box recorder). Test executables live outside the program folder.
#   vistrel_tests(<target> SOURCES ... [LIBS ...])
function(vistrel_tests target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  vistrel_strict(${target})
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests"
    INSTALL_RPATH "$ORIGIN/../Vistrel")
  target_link_libraries(${target} PRIVATE vistrel_testmain ${ARG_LIBS})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "VISTREL_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# A Google Benchmark executable under bench/.
function(vistrel_benchmark target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  vistrel_strict(${target})
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench"
    INSTALL_RPATH "$ORIGIN/../Vistrel")
  target_link_libraries(${target} PRIVATE benchmark::benchmark ${ARG_LIBS})
endfunction()

find_package(GTest REQUIRED)
include(GoogleTest)
