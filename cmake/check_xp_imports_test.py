#!/usr/bin/env python3
"""Shows that check_xp_imports.py fails on each thing that keeps a binary
from loading on Windows XP, and passes a binary that loads there.

    check_xp_imports_test.py PROBE_FOLDER CLEAN_BINARY PROGRAM FOLDER_DLL

PROBE_FOLDER holds newer_import_probe.exe (a function XP lacks) and
newer_dll_probe.exe (a DLL XP lacks); CLEAN_BINARY loads on XP; PROGRAM
imports FOLDER_DLL, a DLL of the program folder's own, which the build puts
beside it.
"""
import contextlib
import io
import os
import shutil
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_xp_imports  # noqa: E402

PROBES, CLEAN, PROGRAM, FOLDER_DLL = map(os.path.abspath, sys.argv[1:5])
del sys.argv[1:5]


def check(*args):
    out = io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(out):
        rc = check_xp_imports.main(list(args))
    return rc, out.getvalue()


def with_versions(source, folder, os_version=None, subsystem=None):
    """A copy of source whose header asks for the given versions."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    optional = struct.unpack_from("<I", data, 0x3C)[0] + 24
    if os_version:
        struct.pack_into("<HH", data, optional + 40, *os_version)
    if subsystem:
        struct.pack_into("<HH", data, optional + 48, *subsystem)
    path = os.path.join(folder, "versioned_%s_%s.exe" % (os_version, subsystem))
    with open(path, "wb") as f:
        f.write(data)
    return path


class XpCheck(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.folder)

    def test_a_binary_that_loads_on_xp_passes(self):
        self.assertEqual(check(CLEAN)[0], 0)

    def test_a_function_xp_lacks(self):
        rc, out = check(os.path.join(PROBES, "newer_import_probe.exe"))
        self.assertEqual(rc, 1)
        self.assertIn("newer_import_probe.exe: KERNEL32.dll!InitializeSRWLock\n", out)

    def test_a_dll_xp_lacks(self):
        rc, out = check(os.path.join(PROBES, "newer_dll_probe.exe"))
        self.assertEqual(rc, 1)
        self.assertIn("NEWER_DLL_PROBE.EXE: DWMAPI.DLL: NOT A DLL OF WINDOWS XP SP3", out.upper())

    def test_header_versions_above_xp(self):
        # 5.1 is XP itself; 4.0 is what the linker writes by default.
        for versions, rc in (({"os_version": (5, 1), "subsystem": (5, 1)}, 0),
                             ({"os_version": (4, 0), "subsystem": (4, 0)}, 0),
                             ({"os_version": (5, 2)}, 1),
                             ({"os_version": (6, 0)}, 1),
                             ({"subsystem": (5, 2)}, 1),
                             ({"subsystem": (6, 1)}, 1)):
            with self.subTest(**versions):
                got, out = check(with_versions(CLEAN, self.folder, **versions))
                self.assertEqual(got, rc, out)
                if rc:
                    self.assertIn("(Windows XP is 5.1)", out)

    def test_a_dll_of_the_program_folder_counts_only_as_an_image_beside_the_program(self):
        shutil.copy(PROGRAM, self.folder)
        program = os.path.join(self.folder, os.path.basename(PROGRAM))
        dll = os.path.join(self.folder, os.path.basename(FOLDER_DLL))
        missing = "%s: NOT A DLL OF WINDOWS XP SP3" % os.path.basename(FOLDER_DLL).upper()
        for stand_in in ("nothing", "an empty file", "a folder"):
            with self.subTest(beside=stand_in):
                if stand_in == "an empty file":
                    open(dll, "wb").close()
                elif stand_in == "a folder":
                    os.remove(dll)
                    os.mkdir(dll)
                rc, out = check(program)
                self.assertEqual(rc, 1, out)
                self.assertIn(missing, out.upper())
                # The folder checked whole also reads an empty .dll as a
                # binary, and fails on that.
                self.assertNotEqual(check(self.folder)[0], 0)
        os.rmdir(dll)
        shutil.copy(FOLDER_DLL, self.folder)
        self.assertEqual(check(program)[0], 0)
        self.assertEqual(check(self.folder)[0], 0)

    def test_the_program_folder_as_the_build_lays_it_out(self):
        # The build leaves FOLDER_DLL beside PROGRAM, as it leaves the tests'
        # own DLLs: only what the list lays out beside the program counts.
        # Sources are absolute, or relative to the list's folder; data files
        # are not read.
        program, dll = os.path.basename(PROGRAM), os.path.basename(FOLDER_DLL)
        shutil.copy(CLEAN, os.path.join(self.folder, "clean.exe"))
        with open(os.path.join(self.folder, "theme.ini"), "w") as f:
            f.write("[skin]\n")
        missing = "%s: %s: NOT A DLL OF WINDOWS XP SP3" % (program.upper(), dll.upper())
        for lines, rc in (([], 1),
                          (["%s|%s" % (FOLDER_DLL, dll)], 0),
                          (["%s|sub/%s" % (FOLDER_DLL, dll)], 1),
                          (["%s|%s" % (FOLDER_DLL, dll),
                            "%s|probe.exe" % os.path.join(PROBES, "newer_import_probe.exe")], 1)):
            with self.subTest(lines=lines):
                layout = os.path.join(self.folder, "dist.list")
                with open(layout, "w") as f:
                    f.write("\n".join(["%s|%s" % (PROGRAM, program), "clean.exe|Clean.exe",
                                       "theme.ini|skin/theme.ini"] + lines) + "\n")
                got, out = check("--require", program, "--require", "Clean.exe", "--program-folder", layout)
                self.assertEqual(got, rc, out)
                self.assertIn("%d binaries checked" % (2 + len(lines)), out)
                self.assertEqual(missing in out.upper(), not any(line.endswith("|" + dll) for line in lines), out)
                self.assertEqual("probe.exe: KERNEL32.dll!InitializeSRWLock" in out, len(lines) == 2, out)

    def test_nothing_read_or_a_required_binary_missing_fails(self):
        rc, out = check(self.folder)
        self.assertEqual(rc, 1)
        self.assertIn("0 binaries checked", out)
        shutil.copy(CLEAN, self.folder)
        name = os.path.basename(CLEAN)
        self.assertEqual(check("--require", name, self.folder)[0], 0)
        rc, out = check("--require", name, "--require", "Wavetrap.dll", self.folder)
        self.assertEqual(rc, 1)
        self.assertIn("Wavetrap.dll: not among the binaries checked", out)


if __name__ == "__main__":
    unittest.main(verbosity=2)
