# The tools drive the scene renderer subclass with known content that the SceneRenderer suite draws.
target_include_directories(CanvasToolsTests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../SceneRenderer)
