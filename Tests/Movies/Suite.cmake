# A libFuzzer target for the keyframe movie reader. libFuzzer comes with clang, so it
# is built only in the clang address/undefined-behaviour sanitizer build:
#   bin/FuzzMovieReader -max_total_time=60 CORPUS_DIR Tests/Movies/Fuzz/Seeds
# The reader's own sources get coverage instrumentation so that the fuzzer is guided
# through them; programs that are not fuzzers load them unchanged.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND KESTRIN_SANITIZE_ADDRESS)
  set_source_files_properties(
    ${CMAKE_SOURCE_DIR}/X-Platform/Movies/XVolumeKeyframeMovie.cpp
    ${CMAKE_SOURCE_DIR}/Host/UI/XBookmark3D.cpp
    ${CMAKE_SOURCE_DIR}/Host/UI/XRendererSceneState.cpp
    DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES COMPILE_OPTIONS -fsanitize=fuzzer-no-link)
  add_executable(FuzzMovieReader ${CMAKE_CURRENT_LIST_DIR}/Fuzz/FuzzMovieReader.cpp)
  target_compile_options(FuzzMovieReader PRIVATE -fsanitize=fuzzer)
  target_link_options(FuzzMovieReader PRIVATE -fsanitize=fuzzer)
  target_link_libraries(FuzzMovieReader PRIVATE Kestrin3D)
endif()
