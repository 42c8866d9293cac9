# The suite loads the real module from its folder, as a host would, and tests the
# module's logic (views, levels, models) directly through the core both link.
add_dependencies(SliceStackTests KestrinSliceStack)
target_link_libraries(SliceStackTests PRIVATE KestrinSliceStackCore)
target_compile_definitions(SliceStackTests PRIVATE
  KESTRIN_SLICE_STACK_MODULE_DIR="$<TARGET_FILE_DIR:KestrinSliceStack>")
