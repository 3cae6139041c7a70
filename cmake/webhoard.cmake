# Build helpers shared by every layer.
#
# A library is one folder of src/: every .cpp directly inside it, with the
# platform split by file name (name_posix.cpp on POSIX, name_win32.cpp on
# Windows), so adding a file needs no edit here.

add_library(webhoard_warnings INTERFACE)
target_compile_options(webhoard_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wconversion)
if(WEBHOARD_WERROR)
  target_compile_options(webhoard_warnings INTERFACE -Werror)
endif()
if(WEBHOARD_SANITIZE)
  target_compile_options(webhoard_warnings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(webhoard_warnings INTERFACE -fsanitize=address,undefined)
endif()

# The fuzz build instruments every library, not only the fuzz targets, so
# libFuzzer sees coverage inside the parsers and the sanitizers check them;
# undefined behaviour ends the run, and libFuzzer keeps the input.
if(WEBHOARD_FUZZ)
  target_compile_options(webhoard_warnings INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  target_link_options(webhoard_warnings INTERFACE -fsanitize=address,undefined)
endif()

function(webhoard_platform_sources out_var dir)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32(_test)?\\.cpp$")
  endif()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

# Files named in EXCLUDE (names inside the folder) are left out.
function(webhoard_exclude_sources out_var sources)
  foreach(name ${ARGN})
    list(FILTER sources EXCLUDE REGEX "/${name}$")
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

function(webhoard_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  webhoard_platform_sources(sources ${dir})
  webhoard_exclude_sources(sources "${sources}" ${ARG_EXCLUDE})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC webhoard_warnings ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE webhoard_warnings ${ARG_DEPS})
  endif()
endfunction()

# One test executable per library: every .cpp in the folder (but EXCLUDE and
# the other system's *_posix_test.cpp / *_win32_test.cpp).
function(webhoard_tests name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  webhoard_platform_sources(sources ${dir})
  webhoard_exclude_sources(sources "${sources}" ${ARG_EXCLUDE})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} webhoard_test_support
                        GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # Listing the cases would run the program at build time: one test each.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "WEBHOARD_TEST=1")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "WEBHOARD_TEST=1")
  endif()
endfunction()
