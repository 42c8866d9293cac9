# A scene adapted by a renderer module, loaded by the tests as a sibling module would be.
add_library(TestSceneModule MODULE ${CMAKE_CURRENT_LIST_DIR}/TestModule/TestSceneModule.cpp)
target_link_libraries(TestSceneModule PRIVATE Kestrin3D)
add_dependencies(VolumeSceneTests TestSceneModule)
target_compile_definitions(VolumeSceneTests PRIVATE KESTRIN_TEST_SCENE_MODULE="$<TARGET_FILE:TestSceneModule>")
