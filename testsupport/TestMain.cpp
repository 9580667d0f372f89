// main() of every test executable: no test may hang on a real message box, so
// unexpected boxes are answered with their first button and reported.
#include <gtest/gtest.h>
#include <stdio.h>
#include "Seams.h"
#include "TestSupport.h"

static int UnexpectedBox(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    fprintf(stderr, "message box (not expected by the test): [%s] %s\n", caption, text);
    return FwDefaultAnswer(flags);
}

int main(int argc, char** argv)
{
    FwSetMessageBoxHook(UnexpectedBox);
    if (ts::TimeScale() > 1)
        printf("time limits x%.2f: this build runs that much slower here (measured by scripts/test)\n",
               ts::TimeScale());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
