// main() of every test executable: no test may hang on a real message box, so
// unexpected boxes are answered with their first button and reported.
#include <gtest/gtest.h>
#include <stdio.h>
#include "Seams.h"

static int UnexpectedBox(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    fprintf(stderr, "message box (not expected by the test): [%s] %s\n", caption, text);
    return FwDefaultAnswer(flags);
}

int main(int argc, char** argv)
{
    FwSetMessageBoxHook(UnexpectedBox);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
