// schedulefile.she: ScheduleRecords back to back in list order, nothing else.
// OrvixPlus and Timewarden both read and write it.
#pragma once
#include <vector>
#include "ScheduleRecord.h"

// The file lives in the program folder under this name.
#define SCHEDULE_FILE_NAME "schedulefile.she"

// Reads every whole record; a trailing partial record is ignored. FALSE (records
// untouched) when path is NULL, the file cannot be opened or reading it fails.
BOOL ReadScheduleFile(LPCSTR path, std::vector<ScheduleRecord>& records);

// Writes the records to a temporary file beside path and only then puts it in
// place of the old file, so a failed write, a failed close or a failed
// replacement leaves the previous schedule as it was. FALSE on any failure.
BOOL WriteScheduleFile(LPCSTR path, const ScheduleRecord* records, size_t count);
