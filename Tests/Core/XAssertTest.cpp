#include "XAssert.h"
#include "XAssertRecorder.h"

#include <gtest/gtest.h>

TEST(XAssert, ReportsConditionSourceAndLineAndContinues)
{
    XAssertRecorder recorder;
    int reached = 0, id = 0;
    auto FindStrategy = [](int) { return 0; };
    X_ASSERT(FindStrategy( id ) != 0 || id != 0);
    reached = 1;
    X_ASSERT_TEXT(id != 0, "id");
    X_ASSERT(reached == 1); // holds: no report
    ASSERT_EQ(recorder.GetCount(), 2u);
    auto reports = recorder.GetReports();
    EXPECT_EQ(reports[0].condition, "FindStrategy( id ) != 0 || id != 0");
    EXPECT_EQ(reports[0].source, "Tests/XAssertTest");
    EXPECT_GT(reports[0].line, 0);
    EXPECT_EQ(reports[1].condition, "id");
    // Source names drop subfolders and the extension (the suites' recorders check Host and X-Platform ones).
    EXPECT_STREQ(XAssertDetail::MakeSourceName("/w/Linux/Sub/WGLWnd.cpp"), "Linux/WGLWnd");
}
