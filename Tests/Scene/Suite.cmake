# The node tests watch what reaches the device through the Device suite's recording render system.
target_sources(SceneTests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../Device/XRecordingRenderSystem.cpp)
target_include_directories(SceneTests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../Device)
