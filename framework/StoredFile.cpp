#include "StoredFile.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

StoredFileReader g_pfnReader = NULL;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        b++;
    while (e > b && IsBlank(s[e - 1]))
        e--;
    return s.substr(b, e - b);
}

struct IniKey {
    std::string name, value;
};
struct IniSection {
    std::string name;
    std::vector<IniKey> keys;
};

// The profile reader's rules: one entry a line, blanks around names and
// values dropped, ';' lines are comments, names compared without regard to
// case, the first section of a name is the one read.
std::vector<IniSection> ParseIni(const std::string& text)
{
    std::vector<IniSection> sections;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(at, end - at));
        at = end + 1;
        // The text ends at a NUL as the platform's reader sees it.
        size_t nul = line.find('\0');
        if (nul != std::string::npos)
            line = Trim(line.substr(0, nul));
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            if (close != std::string::npos) {
                sections.push_back({Trim(line.substr(1, close - 1)), {}});
                continue;
            }
        }
        if (sections.empty())
            continue;
        size_t eq = line.find('=');
        IniKey key;
        key.name = Trim(line.substr(0, eq));
        if (eq != std::string::npos)
            key.value = Trim(line.substr(eq + 1));
        if (!key.name.empty())
            sections.back().keys.push_back(key);
    }
    return sections;
}

const IniSection* FindSection(const std::vector<IniSection>& sections, LPCSTR name)
{
    for (const IniSection& s : sections)
        if (lstrcmpiA(s.name.c_str(), name) == 0)
            return &s;
    return NULL;
}

DWORD CopyOut(const std::string& value, LPSTR buffer, DWORD size)
{
    if (size == 0)
        return 0;
    DWORD n = (DWORD)value.size() < size - 1 ? (DWORD)value.size() : size - 1;
    memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

// An INI file is read whole; no skin or theme comes near this size.
const size_t kMaxIniBytes = 4 << 20;

}  // namespace

BOOL ReadStoredFileFromDisk(LPCSTR path, size_t maxBytes, std::string& bytes, BOOL bPrefix)
{
    bytes.clear();
    if (!path)
        return FALSE;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    LARGE_INTEGER size;
    BOOL ok = ::GetFileSizeEx(h, &size) && size.QuadPart >= 0;
    if (ok && (ULONGLONG)size.QuadPart > maxBytes) {
        ok = bPrefix;
        size.QuadPart = (LONGLONG)maxBytes;
    }
    if (ok && size.QuadPart > 0) {
        bytes.resize((size_t)size.QuadPart);
        DWORD got = 0;
        ok = ::ReadFile(h, &bytes[0], (DWORD)bytes.size(), &got, NULL);
        // A file that shrank meanwhile is what it now is.
        bytes.resize(ok ? got : 0);
    }
    ::CloseHandle(h);
    if (!ok)
        bytes.clear();
    return ok;
}

BOOL ReadStoredFile(LPCSTR path, size_t maxBytes, std::string& bytes, BOOL bPrefix)
{
    return g_pfnReader ? g_pfnReader(path, maxBytes, bytes, bPrefix)
                       : ReadStoredFileFromDisk(path, maxBytes, bytes, bPrefix);
}

StoredFileReader SetStoredFileReader(StoredFileReader reader)
{
    StoredFileReader previous = g_pfnReader;
    g_pfnReader = reader;
    return previous;
}

DWORD ReadProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR path)
{
    if (!g_pfnReader)
        return ::GetPrivateProfileStringA(section, key, def, buffer, size, path);
    if (!buffer || size == 0)
        return 0;
    std::string text;
    std::vector<IniSection> sections;
    if (ReadStoredFile(path, kMaxIniBytes, text))
        sections = ParseIni(text);
    const IniSection* found = section ? FindSection(sections, section) : NULL;
    if (found && !key) {
        // All key names, each ending in a NUL, the list in a second one; a
        // list that does not fit is cut (half a name included) as the
        // platform's reader cuts it.
        std::string names;
        for (const IniKey& k : found->keys)
            names += k.name + '\0';
        if (names.size() + 1 <= size) {
            memcpy(buffer, names.data(), names.size());
            buffer[names.size()] = '\0';
            return (DWORD)names.size();
        }
        if (size < 2) {
            buffer[0] = '\0';
            return 0;
        }
        memcpy(buffer, names.data(), size - 2);
        buffer[size - 2] = '\0';
        buffer[size - 1] = '\0';
        return size - 2;
    }
    if (found) {
        for (const IniKey& k : found->keys) {
            if (lstrcmpiA(k.name.c_str(), key) != 0)
                continue;
            std::string value = k.value;
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            return CopyOut(value, buffer, size);
        }
    }
    return CopyOut(Trim(def ? def : ""), buffer, size);
}

UINT ReadProfileInt(LPCSTR section, LPCSTR key, INT def, LPCSTR path)
{
    if (!g_pfnReader)
        return ::GetPrivateProfileIntA(section, key, def, path);
    char value[64];
    if (ReadProfileString(section, key, "", value, sizeof(value), path) == 0 || !key)
        return (UINT)def;
    return (UINT)strtol(value, NULL, 10);
}

namespace {

unsigned Byte(const std::string& b, size_t at)
{
    return (unsigned char)b[at];
}
unsigned Le16(const std::string& b, size_t at)
{
    return Byte(b, at) | Byte(b, at + 1) << 8;
}
unsigned Be16(const std::string& b, size_t at)
{
    return Byte(b, at) << 8 | Byte(b, at + 1);
}
long Le32(const std::string& b, size_t at)
{
    return (long)(int)(Le16(b, at) | Le16(b, at + 2) << 16);
}
unsigned long Be32(const std::string& b, size_t at)
{
    return (unsigned long)Be16(b, at) << 16 | Be16(b, at + 2);
}

}  // namespace

BOOL PictureHeaderSize(const std::string& b, long* pWidth, long* pHeight)
{
    long w = 0, h = 0;
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (Le32(b, 14) == 12) {
            w = (long)Le16(b, 18);
            h = (long)Le16(b, 20);
        } else {
            w = Le32(b, 18);
            h = Le32(b, 22);
            // A negative height is a top-down picture.
            if (h < 0 && h != LONG_MIN)
                h = -h;
        }
    } else if (b.size() >= 10 && b.compare(0, 3, "GIF") == 0) {
        w = (long)Le16(b, 6);
        h = (long)Le16(b, 8);
    } else if (b.size() >= 24 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        unsigned long pw = Be32(b, 16), ph = Be32(b, 20);
        w = pw > 0x7FFFFFFFul ? -1 : (long)pw;
        h = ph > 0x7FFFFFFFul ? -1 : (long)ph;
    } else if (b.size() >= 4 && Byte(b, 0) == 0xFF && Byte(b, 1) == 0xD8) {
        // The first frame header among the markers gives the size.
        size_t at = 2;
        for (;;) {
            if (at + 4 > b.size() || Byte(b, at) != 0xFF)
                return FALSE;
            unsigned marker = Byte(b, at + 1);
            if (marker == 0xFF) {
                at++;
                continue;
            }
            unsigned length = Be16(b, at + 2);
            bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                         marker != 0xCC;
            if (frame) {
                if (at + 9 > b.size())
                    return FALSE;
                h = (long)Be16(b, at + 5);
                w = (long)Be16(b, at + 7);
                break;
            }
            if (length < 2)
                return FALSE;
            at += 2 + length;
        }
    } else {
        return FALSE;
    }
    *pWidth = w;
    *pHeight = h;
    return TRUE;
}

BOOL IsDecodablePicture(const std::string& bytes)
{
    long w = 0, h = 0;
    if (!PictureHeaderSize(bytes, &w, &h))
        // Not a format we know the header of: the decoder judges it.
        return !bytes.empty();
    return w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide;
}
