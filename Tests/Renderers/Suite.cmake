# The registry loads the test renderer module (Tests/Fixtures) from its folder.
add_dependencies(RenderersTests TestRendererModule)
target_compile_definitions(RenderersTests PRIVATE
  KESTRIN_TEST_RENDERER_MODULE_DIR="$<TARGET_FILE_DIR:TestRendererModule>")
