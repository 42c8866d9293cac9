#include "XProgress.h"
#include "XProgressDisabler.h"

#include <cstdio>
#include <functional>
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

std::vector<std::string> Tenths()
{
    std::vector<std::string> lines;
    for (int p = 10; p <= 100; p += 10)
        lines.push_back("Meshing: " + std::to_string(p) + "%");
    return lines;
}
} // namespace

TEST(XProgress, LinesWrittenToAFileThatIsNotATerminal)
{
    struct XCase {
        const char* name;
        std::function<void(FILE*)> work;
        std::vector<std::string> lines;
    };
    const XCase cases[] = {
        {"a line at each tenth", [](FILE* f) {
             XProgress progress("Meshing", 1000);
             progress.SetOutput(f);
             for (int i = 0; i < 1000; ++i)
                 progress.Increment();
         }, Tenths()},
        {"large steps and an early Done give one line each", [](FILE* f) {
             XProgress progress;
             progress.SetOutput(f);
             progress.SetMessage("Reading");
             progress.SetTotal(3);
             progress.Increment(2); // 66%: one line, not six
             progress.Done();       // stops at two of three: nothing more to say
             progress.Increment();  // after Done: silent
             progress.Done();
         }, {"Reading: 60%"}},
        {"an unknown total reports the count at the end", [](FILE* f) {
             XProgress progress("Scanning");
             progress.SetOutput(f);
             progress.Increment(5);
             progress.Increment(7);
         }, {"Scanning: done (12)"}},
        {"work abandoned by an exception is not reported done", [](FILE* f) {
             try {
                 XProgress progress("Reading", 0);
                 progress.SetOutput(f);
                 progress.Increment(3);
                 throw std::runtime_error("bad file");
             } catch (const std::runtime_error&) {
             }
             XProgress progress("Meshing", 0);
             progress.SetOutput(f);
             progress.Increment(2);
         }, {"Meshing: done (2)"}},
        {"a disabler silences every display while alive", [](FILE* f) {
             XProgressDisabler outer;
             { XProgressDisabler inner; }
             EXPECT_FALSE(XProgress::IsDisplayEnabled());
             XProgress progress("Hidden", 10);
             progress.SetOutput(f);
             progress.Increment(10);
         }, {}},
        {"a delay keeps quick work quiet", [](FILE* f) {
             EXPECT_TRUE(XProgress::IsDisplayEnabled());
             XProgress quick("Quick", 10);
             quick.SetOutput(f);
             quick.SetShowDelay(60000);
             quick.Increment(10);
             quick.Done();
         }, {}},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.name);
        FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        c.work(out);
        EXPECT_EQ(ReadLines(out), c.lines);
        std::fclose(out);
    }
}
