#!/usr/bin/env python3
"""Fails when a Windows binary imports a function that Windows XP SP3 lacks.

The 32-bit programs and DLLs declare Windows XP as their floor; a single
import the system DLLs of XP do not export keeps the whole binary from loading
there ("The procedure entry point ... could not be located"), and nothing run
under Wine shows it. This reads each binary's import table and looks every
imported name up in a list of functions that came with later systems, of the
kinds toolchains and code like ours reach for: the thread primitives of Vista
(slim locks, condition variables, one-time initialisation, fiber storage, the
64-bit tick count), the locale-name and extended-creation calls, the newer
registry and DPI calls, and the C runtime's checked ("_s") and per-locale
("_l") functions that XP's msvcrt.dll does not have.

    check_xp_imports.py FILE_OR_FOLDER...

Prints each offending import as "binary: DLL!function" and exits 1 if there
was one; exits 2 when a file is not a readable PE image.
"""
import os
import re
import struct
import sys

NEWER = {
    "KERNEL32.DLL": """
        GetTickCount64
        InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
        ReleaseSRWLockExclusive ReleaseSRWLockShared
        TryAcquireSRWLockExclusive TryAcquireSRWLockShared
        InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
        WakeConditionVariable WakeAllConditionVariable
        InitOnceInitialize InitOnceBeginInitialize InitOnceComplete InitOnceExecuteOnce
        FlsAlloc FlsFree FlsGetValue FlsSetValue
        InitializeCriticalSectionEx
        CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW
        CreateSemaphoreExA CreateSemaphoreExW CreateWaitableTimerExW SetWaitableTimerEx
        GetSystemTimePreciseAsFileTime QueryUnbiasedInterruptTime
        GetThreadId GetProcessIdOfThread GetCurrentProcessorNumber
        GetFileInformationByHandleEx SetFileInformationByHandle
        GetFinalPathNameByHandleA GetFinalPathNameByHandleW
        CreateSymbolicLinkA CreateSymbolicLinkW
        QueryFullProcessImageNameA QueryFullProcessImageNameW
        CancelIoEx CancelSynchronousIo GetQueuedCompletionStatusEx
        GetErrorMode GetThreadErrorMode SetThreadErrorMode
        CompareStringEx CompareStringOrdinal LCMapStringEx GetLocaleInfoEx
        GetUserDefaultLocaleName GetSystemDefaultLocaleName LocaleNameToLCID LCIDToLocaleName
        GetDateFormatEx GetTimeFormatEx GetNumberFormatEx IsValidLocaleName ResolveLocaleName
        GetDynamicTimeZoneInformation SetDynamicTimeZoneInformation
        GetLogicalProcessorInformationEx GetActiveProcessorCount GetMaximumProcessorCount
        AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories
        RaiseFailFastException RegisterApplicationRestart RegisterApplicationRecoveryCallback
        Wow64GetThreadContext Wow64SetThreadContext
        QueryThreadCycleTime QueryProcessCycleTime QueryIdleProcessorCycleTime
        GetProductInfo GetNamedPipeClientProcessId GetNamedPipeServerProcessId
        InterlockedCompareExchange64
        K32EnumProcesses K32EnumProcessModules K32GetModuleBaseNameA K32GetModuleFileNameExA
        K32GetProcessMemoryInfo
        CreateRemoteThreadEx CreateFile2 CopyFile2 GetOverlappedResultEx
        """,
    "ADVAPI32.DLL": """
        RegGetValueA RegGetValueW RegDeleteKeyExA RegDeleteKeyExW
        RegDeleteTreeA RegDeleteTreeW RegSetKeyValueA RegSetKeyValueW
        RegDeleteKeyValueA RegDeleteKeyValueW RegCopyTreeA RegCopyTreeW
        RegLoadMUIStringA RegLoadMUIStringW RegOpenKeyTransactedA RegOpenKeyTransactedW
        RegCreateKeyTransactedA RegCreateKeyTransactedW
        EventRegister EventUnregister EventWrite EventEnabled
        """,
    "USER32.DLL": """
        SetProcessDPIAware IsProcessDPIAware SetProcessDpiAwarenessContext
        GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi AdjustWindowRectExForDpi
        ChangeWindowMessageFilter ChangeWindowMessageFilterEx
        AddClipboardFormatListener RemoveClipboardFormatListener
        RegisterPowerSettingNotification UnregisterPowerSettingNotification
        ShutdownBlockReasonCreate ShutdownBlockReasonDestroy ShutdownBlockReasonQuery
        GetWindowDisplayAffinity SetWindowDisplayAffinity
        RegisterTouchWindow UnregisterTouchWindow IsTouchWindow GetTouchInputInfo
        GetGestureInfo SetGestureConfig CalculatePopupWindowPosition
        LogicalToPhysicalPoint PhysicalToLogicalPoint UpdateLayeredWindowIndirect
        """,
    "SHELL32.DLL": """
        SHGetKnownFolderPath SHGetKnownFolderIDList SHSetKnownFolderPath
        SHCreateItemFromParsingName SHGetStockIconInfo SHOpenWithDialog
        """,
    "OLE32.DLL": """
        CoGetApartmentType
        """,
    "MSVCRT.DLL": """
        _ftelli64 _fseeki64 _configthreadlocale _create_locale _free_locale
        _get_current_locale _set_invalid_parameter_handler _get_invalid_parameter_handler
        _get_errno _set_errno _get_doserrno _set_doserrno _get_fmode _set_fmode
        _get_pgmptr _get_wpgmptr _set_abort_behavior
        _time32 _localtime32 _mktime32 _gmtime32 _ctime32
        strnlen wcsnlen _aligned_msize
        """,
}
NEWER = {dll: set(names.split()) for dll, names in NEWER.items()}
# The C runtime's checked and per-locale families came with Visual C++ 2005
# and reached msvcrt.dll only after XP.
MSVCRT_FAMILIES = re.compile(r"(_s|_l)$")


def newer_than_xp(dll, name):
    dll = dll.upper()
    if name in NEWER.get(dll, ()):
        return True
    return dll == "MSVCRT.DLL" and MSVCRT_FAMILIES.search(name) is not None


def imports(path):
    """Yields (dll, name or '#ordinal') for every import of a PE image."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        raise ValueError("not a PE image")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    pe32plus = magic == 0x20B
    directories = optional + (112 if pe32plus else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    sections = []
    table = optional + optional_size
    for i in range(sections_count):
        vsize, va, rsize, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        sections.append((va, max(vsize, rsize), raw))

    def offset(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("address 0x%x lies in no section" % rva)

    def cstring(rva):
        start = offset(rva)
        return data[start:data.index(b"\0", start)].decode("latin-1")

    if not import_rva:
        return
    entry = offset(import_rva)
    thunk_size, ordinal_flag = (8, 1 << 63) if pe32plus else (4, 1 << 31)
    while True:
        lookup, _, _, name_rva, first_thunk = struct.unpack_from("<IIIII", data, entry)
        if not name_rva:
            break
        dll = cstring(name_rva)
        thunk = offset(lookup or first_thunk)
        while True:
            value = struct.unpack_from("<Q" if pe32plus else "<I", data, thunk)[0]
            if not value:
                break
            if value & ordinal_flag:
                yield dll, "#%d" % (value & 0xFFFF)
            else:
                yield dll, cstring((value & 0x7FFFFFFF) + 2)
            thunk += thunk_size
        entry += 20


def binaries(args):
    for arg in args:
        if os.path.isdir(arg):
            for name in sorted(os.listdir(arg)):
                if name.lower().endswith((".exe", ".dll")):
                    yield os.path.join(arg, name)
        else:
            yield arg


def main(args):
    if not args:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    found, checked = 0, 0
    for path in binaries(args):
        try:
            bad = sorted({(dll, name) for dll, name in imports(path) if newer_than_xp(dll, name)})
        except (OSError, ValueError, struct.error) as e:
            print("%s: %s" % (path, e), file=sys.stderr)
            return 2
        checked += 1
        for dll, name in bad:
            print("%s: %s!%s" % (os.path.basename(path), dll, name))
            found += 1
    print("%d binaries checked, %d imports newer than Windows XP SP3" % (checked, found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
