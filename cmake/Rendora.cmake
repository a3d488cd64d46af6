# Helpers that add one source folder as a library and one test folder as a test program.

# The window framework as one target, so that only the libraries that name it can include it.
add_library(rendora_wx INTERFACE)
target_include_directories(rendora_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(rendora_wx INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(rendora_wx INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(rendora_wx INTERFACE ${wxWidgets_LIBRARIES})

# rendora_library(folder deps...): every .cpp of src/<folder> becomes the static library
# rendora_<folder>; deps that name another folder link that folder's library.
function(rendora_library folder)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  if(sources)
    add_library(rendora_${folder} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(rendora_${folder} INTERFACE)  # a folder of headers only
    set(scope INTERFACE)
  endif()
  target_include_directories(rendora_${folder} ${scope} ${PROJECT_SOURCE_DIR}/src)
  foreach(dep IN LISTS ARGN)
    if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/src/${dep})
      target_link_libraries(rendora_${folder} ${scope} rendora_${dep})
    else()
      target_link_libraries(rendora_${folder} ${scope} ${dep})
    endif()
  endforeach()
endfunction()

# rendora_test(folder [DISPLAY] LIBS libs...): every *_test.cpp of tests/<folder> becomes the
# program test_<folder>, and each of its test cases one CTest, so that a failure names its case
# and a case that hangs or crashes takes no other down with it. A program that needs a display
# (X server) has its own main and its cases carry the label "display", run under Xvfb.
function(rendora_test folder)
  cmake_parse_arguments(T "DISPLAY" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${folder} ${sources})
  target_link_libraries(test_${folder} PRIVATE ${T_LIBS} rendora_test_support GTest::gmock)
  target_include_directories(test_${folder} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(test_${folder} PRIVATE
    RENDORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}" RENDORA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(T_DISPLAY)
    gtest_discover_tests(test_${folder} TEST_PREFIX ${folder}. DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS display ENVIRONMENT NO_AT_BRIDGE=1)
  else()
    target_link_libraries(test_${folder} PRIVATE GTest::gmock_main)
    gtest_discover_tests(test_${folder} TEST_PREFIX ${folder}. DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
