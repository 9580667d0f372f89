#!/usr/bin/env python3
"""Fails when a Windows binary could not load on Windows XP SP3.

The 32-bit programs and DLLs declare Windows XP as their floor; a single
import the system DLLs of XP do not export keeps the whole binary from loading
there ("The procedure entry point ... could not be located"), as does an
import from a DLL XP does not have at all, or a header that asks for a later
system; nothing run under Wine shows any of it. This reads each binary's
header and import table and fails on:

- an operating system or subsystem version above 5.1 in its header;
- an import from a DLL that is neither one Windows XP SP3 ships nor one of
  the program folder's own beside the binary: a PE image that ships there.
  A file of that name that is no image, a folder, or a DLL the build leaves
  beside the binary but the program folder does not hold (a test's) counts
  for nothing: on XP the binary would not load;
- an imported name on a list of functions that came with later systems, of
  the kinds toolchains and code like ours reach for: the thread primitives
  of Vista (slim locks, condition variables, one-time initialisation, fiber
  storage, the 64-bit tick count), the locale-name and extended-creation
  calls, the newer registry and DPI calls, and the C runtime's checked
  ("_s") and per-locale ("_l") functions that XP's msvcrt.dll does not have.

    check_xp_imports.py [--require NAME]... [--program-folder LIST]... [FILE_OR_FOLDER]...

--program-folder checks the program folder that LIST lays out (lines
"source|path in the folder", as the build writes dist.list): every program
and DLL in it, each against the DLLs the folder holds beside it. A folder
named is checked as the program folder itself; a file, as one of the folder
it lies in.

Prints each fault as "binary: ..." and exits 1 if there was one, or if no
binary was read at all, or if a binary named with --require was not among
those read; exits 2 when a binary is not a readable PE image.
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
# The DLLs of a Windows XP SP3 installation (its system folder, with
# DirectX 9.0c, Windows Media Player 9 to 11's runtime and the common
# controls 6) that programs like ours import from. A DLL missing here is not
# necessarily missing from XP, but it has to be looked at before it is added.
XP_DLLS = set("""
    KERNEL32 USER32 GDI32 ADVAPI32 OLE32 OLEAUT32 OLEPRO32 OLEDLG OLEACC
    SHELL32 SHLWAPI SHFOLDER COMCTL32 COMDLG32 UXTHEME IMM32 USP10 MSIMG32
    WINMM MSACM32 MSVFW32 AVIFIL32 AVICAP32 QUARTZ MSDMO DSOUND DDRAW D3D8 D3D9
    DINPUT DINPUT8 KSUSER KSPROXY.AX WMVCORE WMASF
    MSVCRT NTDLL VERSION PSAPI DBGHELP IMAGEHLP POWRPROF SETUPAPI CFGMGR32 NEWDEV
    RPCRT4 SECUR32 CRYPT32 WINTRUST USERENV WTSAPI32 NETAPI32 MPR WINSPOOL.DRV
    WS2_32 WSOCK32 MSWSOCK IPHLPAPI DNSAPI WININET WINHTTP URLMON HID MSCMS
    OPENGL32 GLU32
""".split())
NEWER = {dll: set(names.split()) for dll, names in NEWER.items()}
# The C runtime's checked and per-locale families came with Visual C++ 2005
# and reached msvcrt.dll only after XP.
MSVCRT_FAMILIES = re.compile(r"(_s|_l)$")


def newer_than_xp(dll, name):
    dll = dll.upper()
    if name in NEWER.get(dll, ()):
        return True
    return dll == "MSVCRT.DLL" and MSVCRT_FAMILIES.search(name) is not None


def xp_ships(dll):
    name = dll.upper()
    if name.endswith(".DLL"):
        name = name[:-4]
    return name in XP_DLLS


class Image:
    """A PE image's header versions and imports."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        data = self.data
        if data[:2] != b"MZ":
            raise ValueError("not a PE image")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections_count = struct.unpack_from("<H", data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header 0x%x" % magic)
        self.pe32plus = magic == 0x20B
        # The same offsets in PE32 and PE32+: the wider image base takes the
        # place of PE32's base of data.
        os_major, os_minor, _, _, sub_major, sub_minor = struct.unpack_from("<6H", data, optional + 40)
        self.os_version = (os_major, os_minor)
        self.subsystem_version = (sub_major, sub_minor)
        directories = optional + (112 if self.pe32plus else 96)
        self.import_rva = struct.unpack_from("<I", data, directories + 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections_count):
            vsize, va, rsize, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((va, max(vsize, rsize), raw))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("address 0x%x lies in no section" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def imports(self):
        """Yields (dll, name or '#ordinal') for every import."""
        if not self.import_rva:
            return
        data = self.data
        entry = self.offset(self.import_rva)
        thunk_size, ordinal_flag = (8, 1 << 63) if self.pe32plus else (4, 1 << 31)
        while True:
            lookup, _, _, name_rva, first_thunk = struct.unpack_from("<IIIII", data, entry)
            if not name_rva:
                break
            dll = self.cstring(name_rva)
            thunk = self.offset(lookup or first_thunk)
            while True:
                value = struct.unpack_from("<Q" if self.pe32plus else "<I", data, thunk)[0]
                if not value:
                    break
                if value & ordinal_flag:
                    yield dll, "#%d" % (value & 0xFFFF)
                else:
                    yield dll, self.cstring((value & 0x7FFFFFFF) + 2)
                thunk += thunk_size
            entry += 20


XP_VERSION = (5, 1)


def faults(path, beside):
    """What keeps the binary at path from loading on Windows XP SP3, one text
    a fault; beside names the program folder's DLLs beside it, upper case."""
    image = Image(path)
    found = []
    for what, version in (("operating system", image.os_version),
                          ("subsystem", image.subsystem_version)):
        if version > XP_VERSION:
            found.append("asks for %s version %d.%d (Windows XP is 5.1)" % ((what,) + version))
    missing = set()
    for dll, name in sorted(set(image.imports())):
        if not xp_ships(dll) and dll.upper() not in beside:
            if dll.upper() not in missing:
                missing.add(dll.upper())
                found.append("%s: not a DLL of Windows XP SP3, nor the program folder's beside the binary" % dll)
        elif newer_than_xp(dll, name):
            found.append("%s!%s" % (dll, name))
    return found


def is_image(path):
    try:
        Image(path)
    except (OSError, ValueError, struct.error):
        return False
    return True


def folder_layout(folder):
    """A folder as a program folder: path in it -> file."""
    return {name: os.path.join(folder, name) for name in os.listdir(folder)}


def listed_layout(path):
    """The program folder a list lays out: path in it -> file (relative to
    the list's folder where not absolute)."""
    base = os.path.dirname(os.path.abspath(path))
    layout = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            source, bar, place = line.strip().partition("|")
            if bar and source and place:
                layout[os.path.normpath(place)] = os.path.join(base, source)
    return layout


def programs(layout):
    return sorted(place for place in layout if place.lower().endswith((".exe", ".dll")))


def binaries(layout, places):
    """Yields (name, file, the program folder's DLLs beside it) for each of
    the places of a layout."""
    own = {}
    for place in programs(layout):
        if place.lower().endswith(".dll") and is_image(layout[place]):
            own.setdefault(os.path.dirname(place), set()).add(os.path.basename(place).upper())
    for place in places:
        yield os.path.basename(place), layout[place], own.get(os.path.dirname(place), set())


def targets(args, lists):
    for path in lists:
        layout = listed_layout(path)
        yield from binaries(layout, programs(layout))
    for arg in args:
        if os.path.isdir(arg):
            layout = folder_layout(arg)
            yield from binaries(layout, [place for place in programs(layout) if os.path.isfile(layout[place])])
        else:
            folder, name = os.path.split(os.path.abspath(arg))
            yield from binaries(folder_layout(folder), [name])


def main(args):
    required, lists = [], []
    while len(args) >= 2 and args[0] in ("--require", "--program-folder"):
        (required if args[0] == "--require" else lists).append(args[1])
        args = args[2:]
    if not args and not lists:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    found, read = 0, []
    try:
        for name, path, beside in targets(args, lists):
            try:
                bad = faults(path, beside)
            except (OSError, ValueError, struct.error) as e:
                print("%s: %s" % (path, e), file=sys.stderr)
                return 2
            read.append(name.upper())
            for fault in bad:
                print("%s: %s" % (name, fault))
                found += 1
    except OSError as e:
        print(e, file=sys.stderr)
        return 2
    unread = [name for name in required if name.upper() not in read]
    print("%d binaries checked, %d faults for Windows XP SP3" % (len(read), found))
    if not read:
        print("no binary was checked")
    for name in unread:
        print("%s: not among the binaries checked" % name)
    return 1 if found or unread or not read else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
