#!/usr/bin/env bash
# Registers Wavetrap.dll with regsvr32 as a user would, each case in its own
# copy of the test prefix (where the build has registered it already).
# Usage: Register_test.sh <Wavetrap.dll> <WavetrapClient.exe> <wavetrap_regcheck.exe>,
# with WINEPREFIX the prepared prefix.
set -u
DLL=$1 CLIENT=$2 REGCHECK=$3
. "$(dirname "$0")/../testsupport/PrefixCopy.sh"
prefix_copy_begin wavetrap-register

CLSID='{4AE129E0-0C56-40D4-96D9-DACFC8663A9F}'
fresh() {
  prefix_copy "$WORK/$1"
  mkdir -p "$P/drive_c/prog"
  cp "$DLL" "$CLIENT" "$REGCHECK" "$P/drive_c/prog/"
  regsvr /u
}
regsvr() { (cd "$P/drive_c/prog" && WINEPREFIX=$P timeout 60 wine regsvr32 /s "$@" Wavetrap.dll \
             </dev/null >/dev/null 2>&1); }
export_hkcr() { wine_p regedit /e "C:\\$1" HKEY_CLASSES_ROOT >/dev/null; }
regcheck() { (cd "$P/drive_c/prog" && wine_p wavetrap_regcheck.exe "$@" | tr -d '\r'); }
check() { [ "$2" = "$3" ] || echo "FAIL [$CASE] $1: expected <$3>, got <$2>"; }
TAB=$'\t'

case_register() {
  fresh register
  export_hkcr before.reg
  regsvr; check "regsvr32 exit" $? 0
  check values "$(regcheck values)" "CLSID\\$CLSID${TAB}1${TAB}23${TAB}AudioCapture Component
CLSID\\$CLSID\\InprocServer32${TAB}1${TAB}21${TAB}C:\\prog\\Wavetrap.dll
CLSID\\$CLSID\\ProgID${TAB}1${TAB}20${TAB}AudioCapture.Object
AudioCapture.Object\\CLSID${TAB}1${TAB}39${TAB}$CLSID"
  # Nothing else changed: every added line is one of those keys or values.
  export_hkcr after.reg
  local added
  added=$(diff <(iconv -f UTF-16LE -t UTF-8 "$P/drive_c/before.reg" | tr -d '\r') \
               <(iconv -f UTF-16LE -t UTF-8 "$P/drive_c/after.reg" | tr -d '\r') | sed -n 's/^> //p' \
          | grep -v '^$' | sort)
  check "added to HKCR" "$added" "$(sort <<EOT
[HKEY_CLASSES_ROOT\\AudioCapture.Object]
[HKEY_CLASSES_ROOT\\AudioCapture.Object\\CLSID]
@="$CLSID"
[HKEY_CLASSES_ROOT\\CLSID\\$CLSID]
@="AudioCapture Component"
[HKEY_CLASSES_ROOT\\CLSID\\$CLSID\\InprocServer32]
@="C:\\\\prog\\\\Wavetrap.dll"
[HKEY_CLASSES_ROOT\\CLSID\\$CLSID\\ProgID]
@="AudioCapture.Object"
EOT
)"
  local said rc
  said=$(cd "$P/drive_c/prog" && WINEPREFIX=$P timeout 60 wine WavetrapClient.exe --progid preview 1 \
     </dev/null 2>&1); rc=$?
  check "created by ProgID" $rc 0
  # What the client said, for a failure to be read from the test's output.
  [ $rc = 0 ] || printf '%s\n' "$said" | grep -v ':fixme:' | tail -n 8 | sed 's/^/  client: /'
  regsvr /u; check "regsvr32 /u exit" $? 0
  export_hkcr unregistered.reg
  cmp -s "$P/drive_c/before.reg" "$P/drive_c/unregistered.reg" || echo "FAIL [$CASE] /u left HKCR changed"
}

# A key under a volatile one must be volatile too: the ProgID's CLSID key
# cannot be written, and registration fails without leaving its class key.
case_refused() {
  fresh refused
  regcheck volatile AudioCapture.Object; check "volatile key" $? 0
  regsvr; [ $? != 0 ] || echo "FAIL [$CASE] regsvr32 reported success"
  check "DllRegisterServer" "$(regcheck register Wavetrap.dll)" 0x80040201  # SELFREG_E_CLASS
  wine_p reg query "HKCR\\CLSID\\$CLSID" >/dev/null && echo "FAIL [$CASE] the class key was left"
  check values "$(regcheck values | cut -f2 | tr '\n' ' ')" "missing missing missing missing "
}

run_case() {
  local out
  out=$(CASE=$1; shift; "$@"; WINEPREFIX=$P wineserver -k >/dev/null 2>&1)
  [ -z "$out" ] && echo "ok   [$1]" || { echo "$out"; return 1; }
}
status=0
run_case register case_register & a=$!
run_case refused case_refused & b=$!
for pid in $a $b; do wait "$pid" || status=1; done
exit $status
