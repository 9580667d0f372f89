// A C stream that closes itself; Close reports whether buffered writes made it
// to the file.
#pragma once
#include <stdio.h>

class CStdFile {
public:
    CStdFile(const char* pszPath, const char* pszMode) : m_fp(fopen(pszPath, pszMode)) {}
    ~CStdFile() { Close(); }
    CStdFile(const CStdFile&) = delete;
    CStdFile& operator=(const CStdFile&) = delete;

    bool IsOpen() const { return m_fp != NULL; }
    FILE* Get() const { return m_fp; }
    bool Read(void* p, size_t n) { return fread(p, 1, n, m_fp) == n; }
    bool Write(const void* p, size_t n) { return fwrite(p, 1, n, m_fp) == n; }
    // Size in bytes, -1 when it cannot be told; leaves the position at the start.
    long Size()
    {
        if (fseek(m_fp, 0, SEEK_END) != 0)
            return -1;
        long size = ftell(m_fp);
        return fseek(m_fp, 0, SEEK_SET) == 0 ? size : -1;
    }
    bool Close()
    {
        if (m_fp == NULL)
            return true;
        bool ok = fclose(m_fp) == 0;
        m_fp = NULL;
        return ok;
    }

private:
    FILE* m_fp;
};
