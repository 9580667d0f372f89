#include "SettingsFile.h"
#include "AppSettings.h"
#include "FixedText.h"
#include "StdFile.h"
#include "StoredFile.h"
#include <string.h>

namespace {

BOOL WriteRecord(const char* path, const SettingsRecord& rec)
{
    // "w+b" truncates: whatever was there before, the file is exactly one block.
    CStdFile file(path, "w+b");
    if (!file.IsOpen())
        return FALSE;
    bool ok = file.Write(&rec, sizeof(rec));
    // The close of a written file can fail too (disk full): report it.
    return file.Close() && ok;
}

template <size_t N>
void FallBackToAppFolder(char (&folder)[N], const char* appFolder)
{
    if (!FolderExists(folder))
        SetFixedText(folder, appFolder);
}

}  // namespace

BOOL GetAppFolder(char* buf, DWORD size)
{
    if (!buf || size == 0)
        return FALSE;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    char* slash = (n > 0 && n < sizeof(path)) ? strrchr(path, '\\') : NULL;
    if (!slash || (DWORD)(slash - path + 1) >= size) {
        buf[0] = '\0';
        return FALSE;
    }
    slash[1] = '\0';
    strcpy(buf, path);
    return TRUE;
}

BOOL FolderExists(const char* folder)
{
    if (!folder || !*folder)
        return FALSE;
    char saved[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof(saved), saved);
    if (!SetCurrentDirectoryA(folder))
        return FALSE;
    if (n > 0 && n < sizeof(saved))
        SetCurrentDirectoryA(saved);
    return TRUE;
}

BOOL LoadSettingsFile(CAppSettings* pSettings, const char* path)
{
    if (!pSettings || !path || !*path)
        return FALSE;
    SettingsRecord rec;
    std::string bytes;
    // A short file was cut (by a crash, a full disk): none of it is used, so
    // that the caller falls back to the defaults. Anything behind the block
    // is not ours to judge, and the user's settings are kept.
    if (!ReadStoredFile(path, sizeof(rec), bytes, TRUE) || bytes.size() < sizeof(rec))
        return FALSE;
    memcpy(&rec, bytes.data(), sizeof(rec));
    SettingsFromRecord(rec, pSettings);
    char appFolder[MAX_PATH];
    GetAppFolder(appFolder, sizeof(appFolder));
    FallBackToAppFolder(pSettings->m_szRecordFolder, appFolder);
    FallBackToAppFolder(pSettings->m_szPictureFolder, appFolder);
    return TRUE;
}

BOOL SaveSettingsFile(CAppSettings* pSettings, const char* path)
{
    if (!pSettings || !path || !*path)
        return FALSE;
    char appFolder[MAX_PATH];
    GetAppFolder(appFolder, sizeof(appFolder));
    FallBackToAppFolder(pSettings->m_szRecordFolder, appFolder);
    FallBackToAppFolder(pSettings->m_szPictureFolder, appFolder);
    SettingsRecord rec;
    SettingsToRecord(*pSettings, &rec);
    return WriteRecord(path, rec);
}

BOOL WriteDefaultSettingsFile(const char* path)
{
    if (!path || !*path)
        return FALSE;
    char appFolder[MAX_PATH];
    GetAppFolder(appFolder, sizeof(appFolder));
    SettingsRecord rec;
    MakeDefaultSettingsRecord(&rec, appFolder);
    return WriteRecord(path, rec);
}

BOOL LoadOrCreateSettingsFile(CAppSettings* pSettings, const char* path)
{
    if (!pSettings)
        return FALSE;
    if (LoadSettingsFile(pSettings, path))
        return TRUE;
    return WriteDefaultSettingsFile(path) && LoadSettingsFile(pSettings, path);
}

BOOL SaveOrResetSettingsFile(CAppSettings* pSettings, const char* path)
{
    // Without settings there is nothing to save, and the user's file must not
    // be replaced by defaults.
    if (!pSettings)
        return TRUE;
    return SaveSettingsFile(pSettings, path) || WriteDefaultSettingsFile(path);
}
