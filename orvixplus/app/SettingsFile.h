// OrvixPlusData.dat on disk. Only the main dialog reads it (at start) and
// writes it (at exit); the rest of the program works on g_pSettings.
#pragma once
#include <windows.h>

class CAppSettings;

// The executable's folder with its trailing backslash.
BOOL GetAppFolder(char* buf, DWORD size);
// TRUE when the process can make folder its current directory (the current
// directory is restored).
BOOL FolderExists(const char* folder);

// Fails unless the file holds one whole settings block (what follows it is
// ignored); folders that no longer exist become the program folder.
BOOL LoadSettingsFile(CAppSettings* pSettings, const char* path);
// Writes the block whenever the object exists, re-creating a deleted file, so
// the run's changes are never dropped. Missing folders become the program
// folder first, in the object too.
BOOL SaveSettingsFile(CAppSettings* pSettings, const char* path);
BOOL WriteDefaultSettingsFile(const char* path);

// Start-up: load; on failure write the default file and load that.
BOOL LoadOrCreateSettingsFile(CAppSettings* pSettings, const char* path);
// Exit: save; on failure try to leave a default file behind. FALSE when
// neither worked; without settings nothing is written (TRUE).
BOOL SaveOrResetSettingsFile(CAppSettings* pSettings, const char* path);
