#pragma once
// A recording render system and one initialised device, with the calls of the
// set-up already taken from the log.
#include "X3DGC.h"
#include "XAssertRecorder.h"
#include "XRecordingRenderSystem.h"

#include <gtest/gtest.h>

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gc.Initialise();
        devices.log.Take();
    }
    std::vector<std::string> Taken() { return devices.log.Take(); }

    XRecordingDevices devices;
    X3DGC gc; // after devices: made by their render system
};
