# The app tests run the built programs.
if(TARGET kestrin3d)
  add_dependencies(AppsTests kestrin3d)
  target_compile_definitions(AppsTests PRIVATE KESTRIN3D_EXECUTABLE="$<TARGET_FILE:kestrin3d>")
endif()
