// Reading the product's stored files (its binary records, INI files and skin
// images) whole into memory, with a bound on their size that is checked
// before anything is allocated, and the INI reads the skins and themes use.
//
// Tests may put in a reader of their own (the sweep of damaged files serves
// thousands of versions of a file from memory); then the INI reads parse what
// that reader returns by the profile reader's rules instead of asking the
// platform, which would go to the disk for every key.
#pragma once
#include <windows.h>
#include <string>

// The whole file at path; FALSE when it cannot be opened or read, or when it
// is larger than maxBytes (nothing is allocated for such a file). With
// bPrefix, a larger file gives its first maxBytes instead.
BOOL ReadStoredFile(LPCSTR path, size_t maxBytes, std::string& bytes, BOOL bPrefix = FALSE);
// The same from the disk, whatever reader is installed.
BOOL ReadStoredFileFromDisk(LPCSTR path, size_t maxBytes, std::string& bytes, BOOL bPrefix = FALSE);

typedef BOOL (*StoredFileReader)(LPCSTR path, size_t maxBytes, std::string& bytes, BOOL bPrefix);
// Installs a reader (NULL: the disk again); returns the previous one.
StoredFileReader SetStoredFileReader(StoredFileReader reader);

// GetPrivateProfileStringA and GetPrivateProfileIntA of an INI file, through
// the installed reader when there is one.
DWORD ReadProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR path);
UINT ReadProfileInt(LPCSTR section, LPCSTR key, INT def, LPCSTR path);

// Pictures (skin and theme images). The size a BMP, GIF, JPEG or PNG file's
// header gives; FALSE for bytes that are none of those or too short to tell.
BOOL PictureHeaderSize(const std::string& bytes, long* pWidth, long* pHeight);
// Whether a picture file may be decoded: a header of a known format must give
// a size of at least 1 x 1 and at most kMaxPictureSide on each side, since
// the decoder allocates by that size before it reads a single pixel.
enum { kMaxPictureSide = 16384 };
const size_t kMaxPictureBytes = 64u << 20;
BOOL IsDecodablePicture(const std::string& bytes);
