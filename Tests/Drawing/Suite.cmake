# The drawing suite releases fontconfig's caches at exit (see DrawingTestEnvironment.cpp).
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
target_link_libraries(DrawingTests PRIVATE PkgConfig::FONTCONFIG)
