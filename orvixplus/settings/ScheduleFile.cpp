#include "ScheduleFile.h"
#include <share.h>
#include <stdio.h>
#include <string>

namespace {

// Closes on every early return; Close() reports whether buffered data made it out.
class StdioFile {
public:
    StdioFile(const char* path, const char* mode, int nShare = _SH_DENYNO)
        : m_pFile(_fsopen(path, mode, nShare)) {}
    ~StdioFile() { Close(); }
    FILE* Get() const { return m_pFile; }
    BOOL Close()
    {
        if (!m_pFile)
            return TRUE;
        BOOL bOk = fclose(m_pFile) == 0;
        m_pFile = NULL;
        return bOk;
    }
private:
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;
    FILE* m_pFile;
};

BOOL WriteAll(FILE* pFile, const ScheduleRecord* records, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        if (fwrite(&records[i], sizeof(ScheduleRecord), 1, pFile) != 1)
            return FALSE;
    }
    return fflush(pFile) == 0 && !ferror(pFile);
}

// Timewarden may be reading the old file just as we replace it; its handle
// blocks the rename for a moment only.
BOOL ReplaceWith(const std::string& from, LPCSTR to)
{
    for (int nTry = 0; nTry < 5; nTry++) {
        if (MoveFileExA(from.c_str(), to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return TRUE;
        DWORD dwError = GetLastError();
        if (dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_ACCESS_DENIED)
            break;
        Sleep(50);
    }
    return FALSE;
}

}  // namespace

BOOL ReadScheduleFile(LPCSTR path, std::vector<ScheduleRecord>& records)
{
    if (!path)
        return FALSE;
    StdioFile file(path, "rb");
    if (!file.Get())
        return FALSE;
    std::vector<ScheduleRecord> read;
    ScheduleRecord record;
    while (fread(&record, 1, sizeof(record), file.Get()) == sizeof(record))
        read.push_back(record);
    // A read that broke off is not the end of the schedule: taking what came
    // so far would lose the rest at the next save.
    if (ferror(file.Get()))
        return FALSE;
    records.swap(read);
    return TRUE;
}

BOOL WriteScheduleFile(LPCSTR path, const ScheduleRecord* records, size_t count)
{
    if (!path || (count && !records))
        return FALSE;
    std::string temp = std::string(path) + ".tmp";
    // Held for ourselves alone: when the other program saves at the same
    // moment, one save fails whole instead of both writing into one file.
    StdioFile file(temp.c_str(), "w+b", _SH_DENYRW);
    if (!file.Get())
        return FALSE;
    BOOL bWritten = WriteAll(file.Get(), records, count);
    if (!file.Close() || !bWritten || !ReplaceWith(temp, path)) {
        DeleteFileA(temp.c_str());
        return FALSE;
    }
    return TRUE;
}
