#include "ScheduleFile.h"
#include <string.h>
#include "StoredFile.h"
#include <share.h>
#include <stdio.h>
#include <string>
#include <vector>

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

// OrvixPlus and Timewarden save the one schedule. A save holds this lock
// from the creation of its temporary file to the rename, so that the other
// program's save neither truncates that file under it nor renames it into
// place half-written; the second saver waits its turn instead of failing.
class ScheduleSaveLock {
public:
    explicit ScheduleSaveLock(LPCSTR path) : m_hMutex(NULL), m_bHeld(FALSE)
    {
        // One lock per schedule file, whatever spelling of its path a program uses.
        char full[MAX_PATH];
        DWORD n = GetFullPathNameA(path, sizeof(full), full, NULL);
        std::string name = "OrvixScheduleSave:";
        name += n > 0 && n < sizeof(full) ? full : path;
        std::vector<char> text(name.begin(), name.end());
        CharUpperBuffA(text.data(), (DWORD)text.size());
        for (char& c : text)
            if (c == '\\')
                c = '/';
        text.resize(text.size() < MAX_PATH - 1 ? text.size() : MAX_PATH - 1);
        text.push_back('\0');
        m_hMutex = CreateMutexA(NULL, FALSE, text.data());
        if (!m_hMutex)
            return;
        DWORD dwWait = WaitForSingleObject(m_hMutex, kWaitMs);
        // Abandoned: the other program ended in the middle of its save. The
        // rename is a save's last step, so the schedule file is still whole.
        m_bHeld = dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED;
    }
    ~ScheduleSaveLock()
    {
        if (m_bHeld)
            ReleaseMutex(m_hMutex);
        if (m_hMutex)
            CloseHandle(m_hMutex);
    }
    BOOL Held() const { return m_bHeld; }

private:
    // A save takes milliseconds; a holder that takes this long is stuck.
    static const DWORD kWaitMs = 5000;
    ScheduleSaveLock(const ScheduleSaveLock&) = delete;
    ScheduleSaveLock& operator=(const ScheduleSaveLock&) = delete;
    HANDLE m_hMutex;
    BOOL m_bHeld;
};

}  // namespace

BOOL ReadScheduleFile(LPCSTR path, std::vector<ScheduleRecord>& records)
{
    if (!path)
        return FALSE;
    // Far more entries than anyone schedules; a larger file is not a schedule.
    std::string bytes;
    if (!ReadStoredFile(path, 36u << 20, bytes))
        return FALSE;
    std::vector<ScheduleRecord> read(bytes.size() / sizeof(ScheduleRecord));
    if (!read.empty())
        memcpy(read.data(), bytes.data(), read.size() * sizeof(ScheduleRecord));
    records.swap(read);
    return TRUE;
}

BOOL WriteScheduleFile(LPCSTR path, const ScheduleRecord* records, size_t count)
{
    if (!path || (count && !records))
        return FALSE;
    ScheduleSaveLock lock(path);
    if (!lock.Held())
        return FALSE;
    std::string temp = std::string(path) + ".tmp";
    // Held for ourselves alone: whoever else opens it (a program that does
    // not take the lock) makes one save fail whole, not both write into it.
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
