# Helpers shared by every module of the tree.

# Warnings are errors where we want them to stop a change (the debug preset, which CI builds); a release build only
# warns, so a newer compiler's new warning cannot stop someone building the program.
option(VISTREL_WERROR "Treat compiler warnings in our code as errors" OFF)

# Strict warnings for our own code; third-party headers come in as SYSTEM includes.
function(vistrel_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${VISTREL_WERROR}>:-Werror>)
endfunction()

# Splits "PUBLIC a b PRIVATE c" into the two lists, refusing a library named before either word: a dependency is
# PUBLIC only when one of our public headers includes its headers, so every call has to say which it is.
function(vistrel_split_libs target out_public out_private)
  set(public "")
  set(private "")
  set(scope "")
  foreach(item IN LISTS ARGN)
    if(item STREQUAL "PUBLIC" OR item STREQUAL "PRIVATE")
      set(scope ${item})
    elseif(scope STREQUAL "")
      message(FATAL_ERROR "${target}: LIBS must start with PUBLIC or PRIVATE (got '${item}')")
    elseif(scope STREQUAL "PUBLIC")
      list(APPEND public ${item})
    else()
      list(APPEND private ${item})
    endif()
  endforeach()
  set(${out_public} "${public}" PARENT_SCOPE)
  set(${out_private} "${private}" PARENT_SCOPE)
endfunction()

# A shared library of ours: hidden visibility, strict warnings, headers found from the given include root.
#   vistrel_library(<target> [OUTPUT_NAME name] [INCLUDE_ROOT dir] SOURCES ... [LIBS [PUBLIC ...] [PRIVATE ...]])
# PUBLIC: what our public headers include (dependants get it too); PRIVATE: what only the sources use.
function(vistrel_library target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME;INCLUDE_ROOT" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  vistrel_strict(${target})
  if(ARG_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  vistrel_include_trees(${target} "${ARG_INCLUDE_ROOT}")
  vistrel_split_libs(${target} public_libs private_libs ${ARG_LIBS})
  target_link_libraries(${target} PUBLIC ${public_libs} PRIVATE ${private_libs})
endfunction()

if(BUILD_TESTING)
  find_package(GTest REQUIRED)
  include(GoogleTest)

  # One precompiled header for every test executable, made once and reused by each. It holds GoogleTest and the
  # standard headers nearly every test source includes, and no Qt: on this toolchain loading a header costs about as
  # much as parsing it saves once it grows past GoogleTest (Qt Widgets made the debug build slower).
  option(VISTREL_TEST_PCH "Share one precompiled header across the test executables" ON)
  if(VISTREL_TEST_PCH)
    add_library(vistrel_test_pch OBJECT "${CMAKE_CURRENT_LIST_DIR}/TestPch.cpp")
    vistrel_strict(vistrel_test_pch)
    target_link_libraries(vistrel_test_pch PRIVATE GTest::gtest)
    target_precompile_headers(vistrel_test_pch PRIVATE <gtest/gtest.h> <cmath> <cstdint> <cstring> <limits> <memory>
      <string> <vector>)
  endif()
endif()

# One GoogleTest executable per module, run through the shared test main (QApplication, C numeric locale,
# message-box recorder). Test executables live outside the program folder. Nothing is built when BUILD_TESTING is
# off, so a release build needs no GoogleTest.
#   vistrel_tests(<target> SOURCES ... [LIBS ...])
function(vistrel_tests target)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  vistrel_private_includes(${target})
  vistrel_strict(${target})
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests"
    INSTALL_RPATH "$ORIGIN/../Vistrel")
  if(TARGET vistrel_test_pch)
    target_precompile_headers(${target} REUSE_FROM vistrel_test_pch)
  endif()
  target_link_libraries(${target} PRIVATE vistrel_testmain GTest::gtest GTest::gmock ${ARG_LIBS})
  # Listing a sanitized test binary's cases takes well over the default five seconds on a busy machine.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
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

# Dependants see a library's public headers as "<folder>/<header>" through a tree of links in the build folder, never
# the source folder itself, so headers under <folder>/private/ (and test helpers under tests/) stay out of their
# reach. Libraries given an include root share one tree (the platform layer); every other library has its own. The
# library and its tests also see the whole folder as "<folder>/...", private headers included.
function(vistrel_include_trees target root)
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  if(root)
    cmake_path(SET root NORMALIZE "${root}")
    file(RELATIVE_PATH tree "${PROJECT_SOURCE_DIR}" "${root}")
    string(REGEX REPLACE "/+$" "" tree "${tree}")
  else()
    set(tree "${target}")
  endif()
  set(public "${CMAKE_BINARY_DIR}/include/${tree}")
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
    "${CMAKE_CURRENT_SOURCE_DIR}/*.h" "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
  file(REMOVE_RECURSE "${public}/${folder}")
  foreach(header IN LISTS headers)
    if(NOT header MATCHES "(^|/)(private|tests)/")
      get_filename_component(link_dir "${public}/${folder}/${header}" DIRECTORY)
      file(MAKE_DIRECTORY "${link_dir}")
      file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}/${header}" "${public}/${folder}/${header}" SYMBOLIC)
    endif()
  endforeach()
  set(private "${CMAKE_BINARY_DIR}/include-private/${target}")
  file(REMOVE "${private}/${folder}")
  file(MAKE_DIRECTORY "${private}")
  file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${private}/${folder}" SYMBOLIC)
  target_include_directories(${target} PUBLIC "${public}" PRIVATE "${private}")
  set_property(DIRECTORY APPEND PROPERTY VISTREL_PRIVATE_INCLUDES "${private}")
endfunction()

# The tests of a module reach its private headers too (they are built from the module's CMakeLists).
function(vistrel_private_includes target)
  get_property(private DIRECTORY PROPERTY VISTREL_PRIVATE_INCLUDES)
  if(private)
    target_include_directories(${target} PRIVATE ${private})
  endif()
endfunction()

# A plug-in module: <Name>.so (no "lib" prefix) in the program's plug-in folder, loaded at run time through the
# exports of interfaces/qvplglib/PlugInContract.h. It finds the program's libraries two folders up ($ORIGIN/../..)
# and its own neighbours beside it. Test-only plug-ins give an OUTPUT_DIRECTORY outside the program folder.
#   vistrel_plugin(<Name> SOURCES ... [LIBS ...] [OUTPUT_DIRECTORY dir])
function(vistrel_plugin name)
  cmake_parse_arguments(ARG "" "OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_OUTPUT_DIRECTORY)
    set(ARG_OUTPUT_DIRECTORY "${VISTREL_PROGRAM_DIR}/components/Plug-Ins")
  endif()
  add_library(${name} MODULE ${ARG_SOURCES})
  vistrel_strict(${name})
  vistrel_private_includes(${name})
  set_target_properties(${name} PROPERTIES
    PREFIX "" OUTPUT_NAME "${name}" SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}"
    INSTALL_RPATH "$ORIGIN;$ORIGIN/../..")
  target_link_options(${name} PRIVATE "LINKER:--no-undefined")
  target_link_libraries(${name} PRIVATE QvPlgLib ${ARG_LIBS})
endfunction()
