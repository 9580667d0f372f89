// What the registration test asks of the registry from inside Wine, where
// `reg` shows neither a value's stored size nor makes volatile keys:
//   wavetrap_regcheck values            the four keys' default values
//   wavetrap_regcheck volatile KEY      makes HKCR\KEY a volatile key
//   wavetrap_regcheck register DLL      DllRegisterServer's result, in hex
// One line per value: key, type, stored size in bytes, data; "ThreadingModel"
// as an extra line when InprocServer32 has one.
#include <windows.h>
#include <stdio.h>
#include <string.h>

static const char* kKeys[] = {
    "CLSID\\{4AE129E0-0C56-40D4-96D9-DACFC8663A9F}",
    "CLSID\\{4AE129E0-0C56-40D4-96D9-DACFC8663A9F}\\InprocServer32",
    "CLSID\\{4AE129E0-0C56-40D4-96D9-DACFC8663A9F}\\ProgID",
    "AudioCapture.Object\\CLSID",
};

// Plain open and query: this tool runs on the same systems as the programs.
static int Values()
{
    for (const char* key : kKeys) {
        char data[1100] = "";
        DWORD type = 0, size = sizeof(data) - 1;
        HKEY hKey;
        LONG rc = RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &hKey);
        if (rc == ERROR_SUCCESS) {
            rc = RegQueryValueExA(hKey, NULL, NULL, &type, (BYTE*)data, &size);
            if (rc != ERROR_SUCCESS)
                RegCloseKey(hKey);
        }
        if (rc != ERROR_SUCCESS) {
            printf("%s\tmissing\n", key);
            continue;
        }
        printf("%s\t%lu\t%lu\t%s\n", key, (unsigned long)type, (unsigned long)size, data);
        if (strstr(key, "InprocServer32") &&
            RegQueryValueExA(hKey, "ThreadingModel", NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
            printf("%s\tThreadingModel\n", key);
        RegCloseKey(hKey);
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 2 && !strcmp(argv[1], "values"))
        return Values();
    if (argc == 3 && !strcmp(argv[1], "volatile")) {
        HKEY key;
        LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, argv[2], 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL,
                                  &key, NULL);
        if (rc != ERROR_SUCCESS)
            return 1;
        RegCloseKey(key);
        return 0;
    }
    if (argc == 3 && !strcmp(argv[1], "register")) {
        HMODULE dll = LoadLibraryA(argv[2]);
        typedef HRESULT(STDAPICALLTYPE * RegisterFn)();
        RegisterFn reg = dll ? (RegisterFn)GetProcAddress(dll, "DllRegisterServer") : NULL;
        if (!reg)
            return 1;
        printf("0x%08lx\n", (unsigned long)reg());
        return 0;
    }
    fprintf(stderr, "usage: wavetrap_regcheck values | volatile KEY | register DLL\n");
    return 2;
}
