// Shared main of the test suites: scratch files instead of the user's own, and the
// calling thread taken as the host's main thread.
#include "XTestEnvironment.h"
#include "XThread.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const std::string& scratch = XTestEnvironment::GetScratchDir();
    setenv("KESTRIN_PREFS_FILE", (scratch + "/prefs.ini").c_str(), 1);
    setenv("KESTRIN_LOG_FILE", (scratch + "/session.log").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (scratch + "/state").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    XThread::SetMainThread();
    return RUN_ALL_TESTS();
}
