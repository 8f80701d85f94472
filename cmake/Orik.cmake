# Warnings for our own targets only; third-party headers come in as system includes.
function(orik_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ORIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
option(ORIK_WERROR "Treat warnings as errors" OFF)

# orik_library(NAME <target> SOURCES ... PUBLIC_LIBS ... [INCLUDE <dir>])
# A static library whose headers are included relative to the repository root.
function(orik_library)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${ARG_NAME} STATIC ${ARG_SOURCES})
    target_include_directories(${ARG_NAME} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform)
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    orik_warnings(${ARG_NAME})
  else()
    add_library(${ARG_NAME} INTERFACE)
    target_include_directories(${ARG_NAME} INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform)
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_PUBLIC_LIBS})
  endif()
endfunction()

# A test program's own code (cases, fixtures, fakes, test clients) is built for short compiles,
# not for speed or stepping: -O1 and line tables, which still give file and line in failures,
# sanitizer reports and backtraces. The code under test keeps the build type's flags. Configure
# with CMAKE_BUILD_TYPE=Debug to step through the tests themselves.
function(orik_test_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:-O1 -g1> $<$<CONFIG:Release>:-O1>)
endfunction()

# The headers nearly every test includes, parsed once for all of them instead of once per unit.
# Only headers whose meaning no target-specific definition changes belong here.
function(orik_test_pch)
  if(TARGET orik_test_pch)
    return()
  endif()
  set(source ${PROJECT_BINARY_DIR}/orik_test_pch.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Empty: the target exists for its precompiled header.\n")
  add_library(orik_test_pch OBJECT ${source})
  target_link_libraries(orik_test_pch PRIVATE GTest::gmock GTest::gtest nlohmann_json::nlohmann_json)
  # The same language and code options as the tests, or the compiler refuses the header.
  orik_warnings(orik_test_pch)
  orik_test_code(orik_test_pch)
  target_precompile_headers(orik_test_pch PRIVATE
    <gmock/gmock.h> <gtest/gtest.h> <nlohmann/json.hpp>
    <chrono> <condition_variable> <functional> <future> <map> <memory> <mutex> <optional> <sstream> <string>
    <string_view> <thread> <vector>)
endfunction()

# orik_test(NAME <target> SOURCES ... LIBS ...): one GoogleTest binary, registered with CTest.
function(orik_test)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gmock_main GTest::gmock GTest::gtest)
  orik_test_code(${ARG_NAME})
  orik_test_pch()
  target_precompile_headers(${ARG_NAME} REUSE_FROM orik_test_pch)
  orik_warnings(${ARG_NAME})
  # A parameterised case's CTest name is its GoogleTest name (the suite's name generator), never
  # its printed parameter, so names stay short and the same on every compiler and build.
  gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES TIMEOUT 120)
endfunction()

# Adds every direct sub-folder of the current source folder that has a CMakeLists.txt,
# so that a new folder joins the build without editing its parent.
function(orik_add_child_dirs)
  file(GLOB lists RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(list_file IN LISTS lists)
    get_filename_component(dir ${list_file} DIRECTORY)
    add_subdirectory(${dir})
  endforeach()
endfunction()

# orik_glob_library(NAME <target> DIR <folder> PUBLIC_LIBS ...): a library of every .cpp
# below <folder>, or a header-only one while there is none. New files join the build
# without editing any CMakeLists.txt.
function(orik_glob_library)
  cmake_parse_arguments(ARG "" "NAME;DIR" "PUBLIC_LIBS;PRIVATE_LIBS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp)
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  list(SORT sources)
  orik_library(NAME ${ARG_NAME} SOURCES ${sources} PUBLIC_LIBS ${ARG_PUBLIC_LIBS} PRIVATE_LIBS ${ARG_PRIVATE_LIBS})
endfunction()
