# A libFuzzer target for the TIFF, ImageJ and OME import (see kestrin_fuzzer; './kestrin ci'
# runs it with its dictionary):
#   build/asan/bin/FuzzImport -dict=Tests/Import/Fuzz/FuzzImport.dict -max_total_time=60 CORPUS_DIR Tests/Import/Fuzz/Seeds
kestrin_fuzzer(FuzzImport LIBS KestrinImaging
  INSTRUMENT Host/Imaging/XTIFFImporter.cpp Host/Imaging/XOMEMetadata.cpp Host/Imaging/XTIFFFile.cpp
             Host/Imaging/XTIFFLayout.cpp)
# bin/MakeImportSeeds FOLDER writes the seeds again from the test stacks.
if(TARGET FuzzImport)
  add_executable(MakeImportSeeds ${CMAKE_CURRENT_LIST_DIR}/Fuzz/MakeSeeds.cpp)
  target_include_directories(MakeImportSeeds PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(MakeImportSeeds PRIVATE KestrinImaging)
endif()
