// Where a program's start-up spends its time, for scripts/bench-tv. With the
// environment variable ORVIX_STEP_TRACE naming a file, each FwTraceStep
// appends one line "<ms> <step>": the performance counter in milliseconds
// (one clock for every process of the machine, so the bench sets it beside
// the moment it created the process) and the step just finished. Without the
// variable a step costs one test of a flag.
#pragma once
#include <windows.h>

void FwTraceStep(LPCSTR pszStep);
