#!/usr/bin/env bash
# Runs Install.exe as a user would, each case in its own copy of the test prefix
# (Install changes C:\windows and the registry) with its own wineserver. The
# seams log message boxes and the restart instead of showing or doing them.
# The driver files are the card maker's, not ours: the cases use placeholders.
# Usage: Install_test.sh <Install.exe>, with WINEPREFIX the prepared prefix.
set -u
EXE=$1
. "$(dirname "$0")/../testsupport/PrefixCopy.sh"
prefix_copy_begin install-test

FILES="system32/34api.dll system32/34COM.dll system32/Prop7134.dll system32/34dd.dll
  system32/34dialog.dll system32/34dlg2.dll system32/34ds.dll system32/34I2Curd.dll
  system32/34PCIurd.dll system32/34TvCtrl.dll inf/cap7130.inf inf/cap7133.inf
  inf/cap7134.inf inf/PhTVTune.inf system32/drivers/Cap7134.sys
  system32/drivers/PhTvTune.sys system/twain.dll system/TWain_32.dll"
CARD='VEN_1131&DEV_7130&SUBSYS_00001131&REV_01'
IFACE='Control\DeviceClasses\{65E8773D-8F56-11D0-A3B9-00A0C9223196}'
NT="HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\$IFACE"
W98="HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\$IFACE"
CARD_LINK="##?#PCI#$CARD#4&1c2a3b&0&40F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}"
OTHER_LINK='##?#PCI#VEN_1131&DEV_7134&SUBSYS_00001131&REV_01#4&77&0&48F0#{65e8773d}'
PARAMS='\#GLOBAL\Device Parameters'
WANTED='Kestor TV Arden WDM Video CaptureA'
UPTODATE='驱动已经更新!'
QUESTION='请保存关闭其他程序，点击确定后将重新启动您的电脑，以便完成驱动更新!'
CANNOT='无法更新驱动程序!'
RESTART='ExitWindowsEx 0x6 0x0'

# fresh <case> [files not installed yet...]: a prefix copy with Install.exe and
# its Drivers folder, and old copies of the other driver files in place (an old
# copy replaces a link instead of writing through it).
fresh() {
  prefix_copy "$WORK/$1"; shift
  mkdir -p "$P/drive_c/prog/Drivers"
  local f
  cp "$EXE" "$P/drive_c/prog/Install.exe"
  for f in $FILES; do
    echo "driver ${f##*/}" >"$P/drive_c/prog/Drivers/${f##*/}"
    case " $* " in *" $f "*) continue ;; esac
    rm -f "$P/drive_c/windows/$f" && echo "old" >"$P/drive_c/windows/$f"
  done
}
# seed <lines of a REGEDIT4 file>. The first Wine run of a case starts Wine's
# services, which keep its output open: not the case's own output then.
seed() {
  printf 'REGEDIT4\n\n%s\n' "$*" | sed 's/$/\r/' >"$P/drive_c/seed.reg"
  wine_p regedit /s 'C:\seed.reg' >/dev/null
}
name_of() {
  wine_p reg query "$1$PARAMS" /v FriendlyName | tr -d '\r' | sed -n 's/^ *FriendlyName *REG_SZ *//p'
}
# run [answer]: Install.exe in its folder, answering OK or the given button.
run() {
  rm -f "$P/drive_c/msgbox.log" "$P/drive_c/power.log"
  (cd "$P/drive_c/prog" && env ORVIX_MSGBOX_LOG='C:\msgbox.log' ORVIX_POWER_LOG='C:\power.log' \
     ${1:+ORVIX_MSGBOX_ANSWER=$1} WINEPREFIX="$P" timeout 60 wine Install.exe </dev/null >/dev/null 2>"$P/run.err")
  RC=$?
  BOXES=$( [ -f "$P/drive_c/msgbox.log" ] && iconv -f GBK -t UTF-8 "$P/drive_c/msgbox.log" | tr -d '\r' | cut -f2)
  POWER=$( [ -f "$P/drive_c/power.log" ] && tr -d '\r' <"$P/drive_c/power.log")
}
file_of() { cat "$P/drive_c/windows/$1" 2>/dev/null || echo "<missing>"; }
# A failed check shows how the last run ended, once per run.
check() {
  [ "$2" = "$3" ] && return
  echo "FAIL [$CASE] $1: expected <$3>, got <$2>"
  [ -f "$P/run.err" ] || return
  echo "  Install.exe exit $RC; Wine said:"; tail -n 15 "$P/run.err" | sed 's/^/  | /'
  rm -f "$P/run.err"
}
RIGHT_NAME="[$NT\\$CARD_LINK$PARAMS]
\"FriendlyName\"=\"$WANTED\""

case_uptodate() {
  fresh uptodate; seed "$RIGHT_NAME"; run
  check boxes "$BOXES" "$UPTODATE"; check restart "$POWER" ""
}

# One file missing: only it is copied, then the progress and the question.
case_one_missing() {  # <answer> <restart expected>
  fresh "missing-$1" system32/34dd.dll; seed "$RIGHT_NAME"; run "$1"
  check copied "$(file_of system32/34dd.dll)" "driver 34dd.dll"
  local f
  for f in $FILES; do [ "$f" = system32/34dd.dll ] || check "$f" "$(file_of "$f")" old; done
  check boxes "$BOXES" "$QUESTION"; check restart "$POWER" "$2"
}

case_nt() {
  fresh nt
  seed "[$NT\\$CARD_LINK$PARAMS]
\"FriendlyName\"=\"SAA7130 Video Capture\"
[$NT\\$OTHER_LINK$PARAMS]
\"FriendlyName\"=\"Other Capture\""
  run
  check renamed "$(name_of "$NT\\$CARD_LINK")" "$WANTED"
  check "other card" "$(name_of "$NT\\$OTHER_LINK")" "Other Capture"
  check boxes "$BOXES" "$QUESTION"; check restart "$POWER" "$RESTART"
  run
  check "second run" "$BOXES" "$UPTODATE"; check "second run restart" "$POWER" ""
}

# The NT entry is seeded too: only the Windows 98 path may be taken.
case_win98() {
  fresh win98
  seed "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Install.exe]
\"Version\"=\"win98\"
[HKEY_LOCAL_MACHINE\\Enum\\PCI\\$CARD\\BUS_00&DEV_0A&FUNC_00]
[$W98\\0001]
\"DeviceInstance\"=\"PCI\\\\$CARD\\\\BUS_00&DEV_0B&FUNC_00\"
[$W98\\0001$PARAMS]
\"FriendlyName\"=\"Another Instance\"
[$W98\\0002]
\"DeviceInstance\"=\"PCI\\\\$CARD\\\\BUS_00&DEV_0A&FUNC_00\"
[$W98\\0002$PARAMS]
\"FriendlyName\"=\"SAA7130 Video Capture\"
[$NT\\$CARD_LINK$PARAMS]
\"FriendlyName\"=\"NT Name\""
  run
  check renamed "$(name_of "$W98\\0002")" "$WANTED"
  check "other instance" "$(name_of "$W98\\0001")" "Another Instance"
  check "NT entry" "$(name_of "$NT\\$CARD_LINK")" "NT Name"
  check boxes "$BOXES" "$QUESTION"; check restart "$POWER" "$RESTART"
}

# Two files that cannot be copied: one failure message and no restart.
case_missing_driver() {
  fresh nodriver system32/34ds.dll inf/cap7133.inf
  rm "$P/drive_c/prog/Drivers/34ds.dll" "$P/drive_c/prog/Drivers/cap7133.inf"
  seed "$RIGHT_NAME"; run
  check boxes "$BOXES" "$CANNOT"; check restart "$POWER" ""
}

# Three cases at a time, each in its own prefix; a case passes when silent.
run_case() {
  local out
  out=$(CASE=$1; shift; "$@"; WINEPREFIX=$P wineserver -k >/dev/null 2>&1)
  [ -z "$out" ] && echo "ok   [$1]" || { echo "$out"; return 1; }
}
status=0
wait_all() { local pid; for pid in "$@"; do wait "$pid" || status=1; done; }
run_case uptodate case_uptodate & a=$!
run_case one-missing-ok case_one_missing 1 "$RESTART" & b=$!
run_case one-missing-cancel case_one_missing 2 "" & c=$!
wait_all $a $b $c
run_case nt case_nt & a=$!
run_case win98 case_win98 & b=$!
run_case missing-driver case_missing_driver & c=$!
wait_all $a $b $c
exit $status
