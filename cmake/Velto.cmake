# Helpers shared by every folder's CMakeLists.

# One static library per source folder; sources are the folder's own files (not its sub-folders).
function(velto_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One GoogleTest executable per test folder, built from every *_test.cpp in it. SERIAL runs
# its tests alone: real-time media tests lose samples when the other core is busy too.
function(velto_tests name)
  cmake_parse_arguments(ARG "SERIAL" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} velto_testsupport GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 120 RUN_SERIAL ${ARG_SERIAL})
  target_compile_definitions(${name} PRIVATE VELTO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             VELTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()

# A libFuzzer target (only with the fuzz preset).
function(velto_fuzzer name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  if(NOT VELTO_FUZZ)
    return()
  endif()
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# A static library that goes into a shared module, and every velto library it links,
# directly or not, are built position-independent (only these: the flag elsewhere would
# rebuild every object for nothing).
function(velto_position_independent target)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "STATIC_LIBRARY")
    return()
  endif()
  set_property(TARGET ${target} PROPERTY POSITION_INDEPENDENT_CODE ON)
  get_target_property(deps ${target} LINK_LIBRARIES)
  foreach(dep ${deps})
    if(TARGET ${dep} AND dep MATCHES "^velto_")
      velto_position_independent(${dep})
    endif()
  endforeach()
endfunction()
