# Helpers that keep the per-directory CMakeLists.txt files short.

# kelvane_library(name DIR dir [DEPS ...] [PUBLIC_INCLUDE dir])
# A static library from every .cpp under DIR/src (or DIR itself), with DIR/include public.
function(kelvane_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE kelvane_options ${ARG_PRIVATE_DEPS})
endfunction()

# kelvane_test(name SOURCES ... LIBS ...)
# One GoogleTest executable; every TEST becomes its own CTest case.
function(kelvane_test name)
  cmake_parse_arguments(ARG "" "WORKING_DIRECTORY" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kelvane_options ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(wd ${CMAKE_CURRENT_BINARY_DIR})
  if(ARG_WORKING_DIRECTORY)
    set(wd ${ARG_WORKING_DIRECTORY})
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${wd} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "KELVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${ARG_PROPERTIES})
endfunction()

# kelvane_bench(name SOURCES ... LIBS ...): a Google Benchmark program, built but not run by the tests.
function(kelvane_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kelvane_options ${ARG_LIBS} benchmark::benchmark)
endfunction()

# kelvane_fuzzer(name SOURCES ... LIBS ... [CORPUS dir])
# With clang the target is a libFuzzer binary; with other compilers it links a small
# driver that runs each file given on the command line once. Either way the seed
# corpus is replayed as a CTest case, which under the sanitizer build catches faults.
function(kelvane_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kelvane_options ${ARG_LIBS})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  endif()
  if(ARG_CORPUS AND KELVANE_BUILD_TESTS)
    add_test(NAME ${name}.seed_corpus
             COMMAND ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${name}> -DCORPUS=${ARG_CORPUS}
                     -P ${PROJECT_SOURCE_DIR}/cmake/ReplayCorpus.cmake)
  endif()
endfunction()

# Adds every directory below the current one that has a CMakeLists.txt, looking
# further down through directories that have none, so a new subsystem only has
# to add its own directory.
function(kelvane_add_subdirectories)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${child})
      _kelvane_add_tree(${child})
    endif()
  endforeach()
endfunction()

function(_kelvane_add_tree dir)
  if(EXISTS ${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true ${dir}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${child})
      _kelvane_add_tree(${child})
    endif()
  endforeach()
endfunction()
