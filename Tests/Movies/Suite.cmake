# A libFuzzer target for the keyframe movie reader. libFuzzer comes with clang, so it
# is built only in the clang address/undefined-behaviour sanitizer build:
#   FuzzMovieReader -max_total_time=60 CORPUS_DIR Tests/Movies/Fuzz/Seeds
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND KESTRIN_SANITIZE_ADDRESS)
  add_executable(FuzzMovieReader ${CMAKE_CURRENT_LIST_DIR}/Fuzz/FuzzMovieReader.cc)
  target_compile_options(FuzzMovieReader PRIVATE -fsanitize=fuzzer)
  target_link_options(FuzzMovieReader PRIVATE -fsanitize=fuzzer)
  target_link_libraries(FuzzMovieReader PRIVATE Kestrin3D)
endif()
