#include "ScheduleRows.h"

namespace {

const char* const kTitles[SCHEDULE_ROW_COLUMNS] = {"Date", "Start", "Duration", "Source", "Channel",
                                                   "Everyday", "Mode", "After Recording"};
const int kWidths[SCHEDULE_ROW_COLUMNS] = {90, 80, 80, 70, 70, 80, 80, 148};

}  // namespace

LPCSTR ScheduleColumnTitle(int n) { return n >= 0 && n < SCHEDULE_ROW_COLUMNS ? kTitles[n] : ""; }
int ScheduleColumnWidth(int n) { return n >= 0 && n < SCHEDULE_ROW_COLUMNS ? kWidths[n] : 0; }
