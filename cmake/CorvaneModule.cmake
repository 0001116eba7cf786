# Each subsystem is one static library made of every source file in its
# folder, so adding a file never needs an edit here.
function(corvane_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    # A folder with headers only still makes a linkable library.
    set(empty "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${empty}" "")
    set(sources "${empty}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
endfunction()

# One GoogleTest executable per test folder; `label` becomes the CTest label.
function(corvane_test_suite name dir label)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE corvane_test_support GTest::gtest GTest::gtest_main ${ARGN})
  if(label STREQUAL "unit")
    target_link_libraries(${name} PRIVATE corvane_unit_test_guard)
  endif()
  set(${name}_TARGET ${name} PARENT_SCOPE)
endfunction()
