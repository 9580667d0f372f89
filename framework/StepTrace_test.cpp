#include <gtest/gtest.h>
#include "StepTrace.h"
#include <stdio.h>
#include <string>
#include <vector>

// The file is the start-up bench's only view of the program's steps: one line
// per step, in order, with a counter that the bench's own clock can be set
// beside.
TEST(StepTraceTest, EachStepAppendsItsMomentAndName)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    std::string path = std::string(dir) + "orvix-step-trace.txt";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SetEnvironmentVariableA("ORVIX_STEP_TRACE", path.c_str()));
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    double before = (double)t.QuadPart * 1000.0 / (double)f.QuadPart;
    FwTraceStep("1 first");
    Sleep(20);
    FwTraceStep("2 second step");
    FwTraceStep(NULL);
    std::vector<std::pair<double, std::string>> lines;
    if (FILE* file = fopen(path.c_str(), "rb")) {
        char line[128];
        double ms;
        int used;
        while (fgets(line, sizeof(line), file))
            if (sscanf(line, "%lf %n", &ms, &used) == 1)
                lines.push_back({ms, std::string(line + used)});
        fclose(file);
    }
    DeleteFileA(path.c_str());
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("1 first\r\n", lines[0].second);
    EXPECT_EQ("2 second step\r\n", lines[1].second);
    EXPECT_GE(lines[0].first, before - 1);
    EXPECT_GE(lines[1].first - lines[0].first, 15.0) << "the counter's milliseconds";
    EXPECT_LT(lines[1].first - lines[0].first, 5000.0);
}
