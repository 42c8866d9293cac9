# The suite loads the real module from its folder, as a host would; the module's
# pure logic (views, levels, models) is also compiled in for direct tests.
add_dependencies(SliceStackTests KestrinSliceStack)
target_compile_definitions(SliceStackTests PRIVATE
  KESTRIN_SLICE_STACK_MODULE_DIR="${CMAKE_BINARY_DIR}/bin/modules")
target_sources(SliceStackTests PRIVATE
  ${CMAKE_SOURCE_DIR}/Modules/SliceStack/XSliceStackView.cpp
  ${CMAKE_SOURCE_DIR}/Modules/SliceStack/XSliceStackLevels.cpp
  ${CMAKE_SOURCE_DIR}/Modules/SliceStack/XSliceStackModels.cpp)
target_include_directories(SliceStackTests PRIVATE ${CMAKE_SOURCE_DIR}/Modules/SliceStack)
