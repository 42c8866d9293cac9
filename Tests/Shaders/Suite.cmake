# The device-level shader tests make devices with the Device suite's recording render system.
target_sources(ShadersTests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../Device/XRecordingRenderSystem.cpp)
target_include_directories(ShadersTests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../Device)
