# The app tests run the built programs, with the modules they load.
if(TARGET kestrin3d)
  add_dependencies(AppsTests kestrin3d)
  target_compile_definitions(AppsTests PRIVATE KESTRIN3D_EXECUTABLE="$<TARGET_FILE:kestrin3d>")
endif()
if(TARGET KestrinSliceStack)
  add_dependencies(AppsTests KestrinSliceStack)
  target_compile_definitions(AppsTests PRIVATE KESTRIN_SLICE_STACK_MODULE="$<TARGET_FILE:KestrinSliceStack>")
endif()
# The test renderer module of Tests/Fixtures.
add_dependencies(AppsTests TestRendererModule)
target_compile_definitions(AppsTests PRIVATE KESTRIN_TEST_RENDERER_MODULE="$<TARGET_FILE:TestRendererModule>")
# The viewer tests drive its window under a private X server.
find_package(X11 REQUIRED)
target_link_libraries(AppsTests PRIVATE X11::X11 X11::Xtst)
