#include "XAssert.h"
#include "XAssertRecorder.h"

#include <gtest/gtest.h>
#include <utility>

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
    // Source names drop subfolders and the extension.
    for (auto [path, name] : {std::pair{"/a/b/X-Platform/GL/XGLContext.cpp", "X-Platform/XGLContext"},
                              {"X-Platform/Renderers/XVolumeRendererManager.cpp", "X-Platform/XVolumeRendererManager"},
                              {"/w/Linux/WGLWnd.cpp", "Linux/WGLWnd"}})
        EXPECT_STREQ(XAssertDetail::MakeSourceName(path), name);
}
