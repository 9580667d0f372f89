#!/usr/bin/env bash
# Unregisters and registers the picture stand-ins with regsvr32, as the
# scripts do, in a copy of the test prefix (where the build registered them):
# unregistered, nothing of them is left in the classes, the filter categories
# or the codec list; registered again, all of it is back exactly as it was.
# Usage: StandinRegister_test.sh <dll>:<key or value naming it>... with
# WINEPREFIX the prepared prefix.
set -u
. "$(dirname "$0")/../../testsupport/PrefixCopy.sh"
prefix_copy_begin standin-register

DRIVERS='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Drivers32'
fail=0
check() { [ "$2" = "$3" ] || { echo "FAIL $1: expected <$3>, got <$2>"; fail=1; }; }
regsvr() { WINEPREFIX=$P timeout 60 wine regsvr32 /s "$@" </dev/null >/dev/null 2>&1; }
# HKCR and the codec list, as UTF-8 text.
export_all() {
  wine_p regedit /e "C:\\$1-classes.reg" HKEY_CLASSES_ROOT
  wine_p regedit /e "C:\\$1-drivers.reg" "$DRIVERS"
  { iconv -f UTF-16LE -t UTF-8 "$P/drive_c/$1-classes.reg"
    iconv -f UTF-16LE -t UTF-8 "$P/drive_c/$1-drivers.reg"; } | tr -d '\r' >"$P/$1.txt"
}

# The DLLs by their Windows names (drive Z: is the Unix root), all in one
# regsvr32 run each way: every Wine start costs.
dlls=()
for arg in "$@"; do dll=${arg%%:*}; dlls+=("Z:${dll//\//\\}"); done

prefix_copy "$WORK/p"
export_all before
for arg in "$@"; do
  name=${arg#*:}
  grep -qiF -- "$name" "$P/before.txt" || { echo "FAIL $name not registered to begin with"; fail=1; }
done
regsvr /u "${dlls[@]}"; check "regsvr32 /u" $? 0
export_all unregistered
for arg in "$@"; do
  name=${arg#*:}
  check "lines naming $name after /u" "$(grep -ciF -- "$name" "$P/unregistered.txt")" 0
done
regsvr "${dlls[@]}"; check "regsvr32" $? 0
export_all after
if ! cmp -s "$P/before.txt" "$P/after.txt"; then
  echo "FAIL registering again did not give back what was there:"
  diff "$P/before.txt" "$P/after.txt" | head -20
  fail=1
fi
WINEPREFIX=$P wineserver -k >/dev/null 2>&1
[ $fail = 0 ] && echo "ok   [$# stand-ins]"
exit $fail
