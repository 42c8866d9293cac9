# kestrin_library(NAME DIRS dir... DEPS lib...)
# A shared library from every source below the given folders. Each folder that
# holds a header is on the include path, so headers are included by class name.
function(kestrin_library NAME)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources "")
  set(includes "")
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    foreach(h ${headers})
      get_filename_component(d ${h} DIRECTORY)
      list(APPEND includes ${d})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES includes)
  if(sources)
    add_library(${NAME} SHARED ${sources})
    target_include_directories(${NAME} PUBLIC ${includes})
    target_link_libraries(${NAME} PUBLIC ${ARG_DEPS})
  else()
    # A library whose folders hold only headers so far.
    add_library(${NAME} INTERFACE)
    target_include_directories(${NAME} INTERFACE ${includes})
    target_link_libraries(${NAME} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# kestrin_test_suite(NAME DIR dir LIBS lib...)
# One GoogleTest executable from every source in Tests/<dir>, each test a CTest test.
function(kestrin_test_suite NAME)
  cmake_parse_arguments(ARG "" "DIR" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/*.cpp)
  add_executable(${NAME} ${sources})
  target_link_libraries(${NAME} PRIVATE KestrinTestSupport ${ARG_LIBS})
  gtest_discover_tests(${NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 LABELS ${ARG_DIR})
endfunction()
