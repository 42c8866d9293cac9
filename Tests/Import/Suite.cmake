# The fuzzer's sources are not tests: keep them out of the suite.
get_target_property(import_test_sources ImportTests SOURCES)
list(FILTER import_test_sources EXCLUDE REGEX "/Fuzz/")
set_target_properties(ImportTests PROPERTIES SOURCES "${import_test_sources}")

# A libFuzzer target for the TIFF, ImageJ and OME import, built only in the clang
# address/undefined-behaviour sanitizer build:
#   bin/FuzzImport -dict=Tests/Import/Fuzz/Import.dict -max_total_time=60 CORPUS_DIR Tests/Import/Fuzz/Seeds
# bin/MakeImportSeeds FOLDER writes the seeds again from the test stacks. The
# importer's own sources get coverage instrumentation to guide the fuzzer.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND KESTRIN_SANITIZE_ADDRESS)
  set_source_files_properties(
    ${CMAKE_SOURCE_DIR}/Host/Imaging/XTIFFImporter.cpp
    ${CMAKE_SOURCE_DIR}/Host/Imaging/XOMEMetadata.cpp
    ${CMAKE_SOURCE_DIR}/Host/Imaging/XTIFFFile.cpp
    ${CMAKE_SOURCE_DIR}/Host/Imaging/XTIFFLayout.cpp
    DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES COMPILE_OPTIONS -fsanitize=fuzzer-no-link)
  add_executable(FuzzImport ${CMAKE_CURRENT_LIST_DIR}/Fuzz/FuzzImport.cpp)
  target_compile_options(FuzzImport PRIVATE -fsanitize=fuzzer)
  target_link_options(FuzzImport PRIVATE -fsanitize=fuzzer)
  target_link_libraries(FuzzImport PRIVATE KestrinImaging)
  add_executable(MakeImportSeeds ${CMAKE_CURRENT_LIST_DIR}/Fuzz/MakeSeeds.cc)
  target_include_directories(MakeImportSeeds PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(MakeImportSeeds PRIVATE KestrinImaging)
endif()
