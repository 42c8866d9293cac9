# A fuzzer for the keyframe movie reader (see kestrin_fuzzer; './kestrin ci' runs it):
#   build/asan/bin/FuzzMovieReader -max_total_time=60 CORPUS_DIR Tests/Movies/Fuzz/Seeds
kestrin_fuzzer(FuzzMovieReader LIBS Kestrin3D
  INSTRUMENT X-Platform/Movies/XVolumeKeyframeMovie.cpp Host/UI/XBookmark3D.cpp Host/UI/XRendererSceneState.cpp)
