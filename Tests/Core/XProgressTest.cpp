#include "XProgress.h"
#include "XProgressDisabler.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
// The lines a progress display wrote to a (non-terminal) file.
std::vector<std::string> ReadLines(FILE* inFile)
{
    std::fflush(inFile);
    std::rewind(inFile);
    std::vector<std::string> lines;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, inFile)) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Each test writes to a file of its own, as output that is not a terminal.
class XProgressOutput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(itsOut, nullptr); }
    void TearDown() override { std::fclose(itsOut); }
    FILE* itsOut = std::tmpfile();
};
} // namespace

TEST_F(XProgressOutput, PrintsALineAtEachTenthWhenNotOnATerminal)
{
    {
        XProgress progress("Meshing", 1000);
        progress.SetOutput(itsOut);
        for (int i = 0; i < 1000; ++i)
            progress.Increment();
    }
    std::vector<std::string> expected;
    for (int p = 10; p <= 100; p += 10)
        expected.push_back("Meshing: " + std::to_string(p) + "%");
    EXPECT_EQ(ReadLines(itsOut), expected);
}

TEST_F(XProgressOutput, LargeStepsAndEarlyDoneGiveOneLineEach)
{
    XProgress progress;
    progress.SetOutput(itsOut);
    progress.SetMessage("Reading");
    progress.SetTotal(3);
    progress.Increment(2); // 66%: one line, not six
    progress.Done();       // stops at two of three: nothing more to say
    progress.Increment();  // after Done: silent
    progress.Done();
    EXPECT_EQ(ReadLines(itsOut), (std::vector<std::string>{"Reading: 60%"}));
}

TEST_F(XProgressOutput, UnknownTotalsReportTheCountAtTheEnd)
{
    {
        XProgress progress("Scanning");
        progress.SetOutput(itsOut);
        progress.Increment(5);
        progress.Increment(7);
    }
    EXPECT_EQ(ReadLines(itsOut), (std::vector<std::string>{"Scanning: done (12)"}));
}

TEST_F(XProgressOutput, DisablerSilencesEveryDisplayWhileAlive)
{
    {
        XProgressDisabler outer;
        {
            XProgressDisabler inner;
        }
        EXPECT_FALSE(XProgress::IsDisplayEnabled());
        XProgress progress("Hidden", 10);
        progress.SetOutput(itsOut);
        progress.Increment(10);
    }
    EXPECT_TRUE(XProgress::IsDisplayEnabled());
    EXPECT_TRUE(ReadLines(itsOut).empty());

    // A delay keeps quick work quiet.
    XProgress quick("Quick", 10);
    quick.SetOutput(itsOut);
    quick.SetShowDelay(60000);
    quick.Increment(10);
    quick.Done();
    EXPECT_TRUE(ReadLines(itsOut).empty());
}

TEST_F(XProgressOutput, WorkAbandonedByAnExceptionIsNotReportedDone)
{
    try {
        XProgress progress("Reading", 0);
        progress.SetOutput(itsOut);
        progress.Increment(3);
        throw std::runtime_error("bad file");
    } catch (const std::runtime_error&) {
    }
    {
        XProgress progress("Meshing", 0);
        progress.SetOutput(itsOut);
        progress.Increment(2);
    }
    EXPECT_EQ(ReadLines(itsOut), std::vector<std::string>{"Meshing: done (2)"});
}
