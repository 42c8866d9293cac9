# A real renderer module, loaded by the tests through the module manager.
add_library(TestRendererModule MODULE ${CMAKE_CURRENT_LIST_DIR}/TestModule/TestRendererModule.cpp)
target_link_libraries(TestRendererModule PRIVATE Kestrin3D)
set_target_properties(TestRendererModule PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-modules/renderers)
add_dependencies(RenderersTests TestRendererModule)
target_compile_definitions(RenderersTests PRIVATE
  KESTRIN_TEST_RENDERER_MODULE_DIR="${CMAKE_BINARY_DIR}/test-modules/renderers")
