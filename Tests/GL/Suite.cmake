# The module resolves OpenGL, GLU and EGL itself at run time: it must neither link
# their libraries nor import any of their symbols.
add_test(NAME GL.ModuleLinksNoOpenGL
  COMMAND sh -c "! readelf -d \"$1\" | grep -E 'NEEDED.*lib(GL|GLU|EGL|OpenGL|GLX)[.]' && ! nm -D --undefined-only \"$1\" | grep -E ' (gl|glu|egl)[A-Z]'"
          check $<TARGET_FILE:Kestrin3D>)
set_tests_properties(GL.ModuleLinksNoOpenGL PROPERTIES LABELS "GL;logic")

# The canvas window test drives a private X server with synthetic input.
target_link_libraries(GLTests PRIVATE X11::X11 X11::Xtst)
