# The module manager's tests load real modules: two small shared libraries built into
# a module folder of their own (not into the suite).
get_target_property(core_test_sources CoreTests SOURCES)
list(FILTER core_test_sources EXCLUDE REGEX "/TestModule/")
set_property(TARGET CoreTests PROPERTY SOURCES ${core_test_sources})

set(core_test_module_dir ${CMAKE_BINARY_DIR}/test-modules/core)
foreach(module KestrinTestModule KestrinTestModuleNoEntry)
  add_library(${module} SHARED ${CMAKE_CURRENT_SOURCE_DIR}/Core/TestModule/${module}.cpp)
  target_link_libraries(${module} PRIVATE KestrinCore)
  set_target_properties(${module} PROPERTIES
    PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${core_test_module_dir})
  add_dependencies(CoreTests ${module})
endforeach()
target_compile_definitions(CoreTests PRIVATE KESTRIN_CORE_TEST_MODULE_DIR="${core_test_module_dir}")
target_link_libraries(CoreTests PRIVATE ${CMAKE_DL_LIBS})
