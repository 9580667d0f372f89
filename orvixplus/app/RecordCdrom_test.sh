#!/usr/bin/env bash
# OrvixPlus.exe with its recording and picture folders on a CD-ROM, in a copy
# of the test prefix of its own: drive R: is a folder Wine is told is a disc
# (a dosdevices link and its type under HKLM\Software\Wine\Drives). The type
# goes into the registry file while the copy's server is down, so that Wine's
# mount manager finds it when the copy's services start.
# Usage: RecordCdrom_test.sh <orvixplus_cdrom_test.exe>, with WINEPREFIX the
# prepared test prefix.
set -u
EXE=$1
. "$(dirname "$0")/../../testsupport/PrefixCopy.sh"
prefix_copy_begin record-cdrom

prefix_copy "$WORK/prefix"
WINEPREFIX=$P wineserver -k >/dev/null 2>&1
WINEPREFIX=$P wineserver -w >/dev/null 2>&1
mkdir -p "$WORK/disc/rec" "$WORK/disc/pic"
rm -f "$P/dosdevices/r:"
ln -s "$WORK/disc" "$P/dosdevices/r:"
printf '\n[Software\\\\Wine\\\\Drives] %s\n"r:"="cdrom"\n' "$(date +%s)" >>"$P/system.reg"
WINEPREFIX=$P wineserver -p10 >/dev/null 2>&1 </dev/null
wine_p cmd /c exit >/dev/null
WINEPREFIX=$P ORVIX_TEST_CDROM='R:\' timeout 150 wine "$EXE" --gtest_brief=1 </dev/null 2>/dev/null
