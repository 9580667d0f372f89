#!/usr/bin/env bash
# Runs Install.exe as a user would, each case in its own copy of the test
# prefix (files under C:\windows and the registry are what Install changes),
# with its own wineserver. Message boxes and the restart are logged through the
# seams' environment variables instead of shown or carried out.
#
# The driver files come from the card's maker and are not part of the build:
# the cases use placeholder files of our own.
#
# Usage: Install_test.sh <Install.exe>   (WINEPREFIX: the prepared test prefix)
set -u
INSTALL_EXE=$1
TEMPLATE=${WINEPREFIX:?the prepared test prefix}
WORK=$(mktemp -d /tmp/orvix-install-test.XXXXXX)
FAILED=0

# Each case ends its own wineserver; this catches those a failure left behind.
cleanup() {
  local p
  for p in "$WORK"/*/; do
    [ -f "$p/system.reg" ] && WINEPREFIX=${p%/} wineserver -k >/dev/null 2>&1
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

FILES="system32/34api.dll system32/34COM.dll system32/Prop7134.dll system32/34dd.dll
  system32/34dialog.dll system32/34dlg2.dll system32/34ds.dll system32/34I2Curd.dll
  system32/34PCIurd.dll system32/34TvCtrl.dll inf/cap7130.inf inf/cap7133.inf
  inf/cap7134.inf inf/PhTVTune.inf system32/drivers/Cap7134.sys
  system32/drivers/PhTvTune.sys system/twain.dll system/TWain_32.dll"

CLASS='SYSTEM\ControlSet001\Control\DeviceClasses\{65E8773D-8F56-11D0-A3B9-00A0C9223196}'
CLASS98='System\CurrentControlSet\Control\DeviceClasses\{65E8773D-8F56-11D0-A3B9-00A0C9223196}'
CARD='VEN_1131&DEV_7130&SUBSYS_00001131&REV_01'
LINK="##?#PCI#$CARD#4&1c2a3b&0&40F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}"
OTHER_LINK='##?#PCI#VEN_1131&DEV_7134&SUBSYS_00001131&REV_01#4&77&0&48F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}'
WANTED='Kestor TV Arden WDM Video CaptureA'
PARAMS='\#GLOBAL\Device Parameters'

# new_prefix <case>: prints the folder of a fresh copy of the test prefix.
# system32 (most of its size) is hard-linked: Install only adds files there and
# the cases remove a file before they write one, so the template stays as it is.
new_prefix() {
  local p=$WORK/$1
  mkdir -p "$p/drive_c/windows"
  (cd "$TEMPLATE" && for f in * .update-timestamp; do
     [ "$f" = drive_c ] || cp -a "$f" "$p/"; done
   cd drive_c && for f in *; do [ "$f" = windows ] || cp -a "$f" "$p/drive_c/"; done
   cd windows && for f in *; do
     if [ "$f" = system32 ]; then cp -al "$f" "$p/drive_c/windows/"; else cp -a "$f" "$p/drive_c/windows/"; fi
   done)
  mkdir -p "$p/drive_c/prog/Drivers"
  cp "$INSTALL_EXE" "$p/drive_c/prog/Install.exe"
  local f
  for f in $FILES; do echo "driver ${f##*/}" >"$p/drive_c/prog/Drivers/${f##*/}"; done
  # One wineserver for the whole case, ended by end_prefix.
  WINEPREFIX=$p wineserver -p >/dev/null 2>&1 </dev/null &
  echo "$p"
}

end_prefix() { WINEPREFIX=$1 wineserver -k >/dev/null 2>&1; }

# put_targets <prefix> <files...>: the files are already installed (old copies).
put_targets() {
  local p=$1 f t; shift
  for f in "$@"; do
    t=$p/drive_c/windows/$f
    mkdir -p "$(dirname "$t")"
    rm -f "$t"   # never write through a hard link into the template
    echo "old ${f##*/}" >"$t"
  done
}

all_but() {
  local f
  for f in $FILES; do case " $* " in *" $f "*) ;; *) echo "$f" ;; esac; done
}

# wine_in <prefix> <command...>
wine_in() {
  local p=$1; shift
  WINEPREFIX=$p wine "$@" </dev/null 2>/dev/null
}

# seed <prefix> <lines of a REGEDIT4 file>
seed() {
  local p=$1; shift
  printf 'REGEDIT4\n\n%s\n' "$*" | sed 's/$/\r/' >"$p/drive_c/seed.reg"
  wine_in "$p" regedit /s 'C:\seed.reg'
}

# reg_value <prefix> <key> <value>: the value's data as reg query shows it.
reg_value() {
  wine_in "$1" reg query "HKEY_LOCAL_MACHINE\\$2" /v "$3" | tr -d '\r' |
    sed -n "s/^ *$3 *REG_SZ *//p"
}

# run_install <prefix> [answer]: runs Install.exe in its folder; the logs land in C:\.
run_install() {
  local p=$1 answer=${2:-}
  rm -f "$p/drive_c/msgbox.log" "$p/drive_c/power.log"
  (cd "$p/drive_c/prog" && env WINEPREFIX="$p" ORVIX_MSGBOX_LOG='C:\msgbox.log' \
     ORVIX_POWER_LOG='C:\power.log' ${answer:+ORVIX_MSGBOX_ANSWER=$answer} \
     timeout 60 wine Install.exe </dev/null >/dev/null 2>&1)
}

# boxes <prefix>: the message texts shown, one a line, as UTF-8.
boxes() {
  [ -f "$1/drive_c/msgbox.log" ] || return 0
  iconv -f GBK -t UTF-8 "$1/drive_c/msgbox.log" | tr -d '\r' | cut -f2
}
power() { [ -f "$1/drive_c/power.log" ] && tr -d '\r' <"$1/drive_c/power.log"; }

fail() { echo "FAIL [$CASE] $*"; FAILED=1; }
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected <$3>, got <$2>"; }
target() { cat "$1/drive_c/windows/$2" 2>/dev/null || echo "<missing>"; }

UPTODATE='驱动已经更新!'
QUESTION='请保存关闭其他程序，点击确定后将重新启动您的电脑，以便完成驱动更新!'
CANNOT='无法更新驱动程序!'
RIGHT_NAME="[HKEY_LOCAL_MACHINE\\$CLASS\\$LINK$PARAMS]
\"FriendlyName\"=\"$WANTED\""

case_uptodate() {
  local p; p=$(new_prefix uptodate)
  put_targets "$p" $FILES
  seed "$p" "$RIGHT_NAME"
  run_install "$p"
  expect_eq "boxes" "$(boxes "$p")" "$UPTODATE"
  expect_eq "restart" "$(power "$p")" ""
  expect_eq "34api.dll" "$(target "$p" system32/34api.dll)" "old 34api.dll"
  end_prefix "$p"
}

# One file missing: only it is copied, the progress runs out and the restart
# question follows; OK restarts, Cancel does not.
case_one_missing() {
  local answer=$1 restart=$2 p f
  p=$(new_prefix "missing-$answer")
  put_targets "$p" $(all_but system32/34dd.dll)
  seed "$p" "$RIGHT_NAME"
  run_install "$p" "$answer"
  expect_eq "copied" "$(target "$p" system32/34dd.dll)" "driver 34dd.dll"
  for f in $(all_but system32/34dd.dll); do
    expect_eq "$f untouched" "$(target "$p" "$f")" "old ${f##*/}"
  done
  expect_eq "boxes" "$(boxes "$p")" "$QUESTION"
  expect_eq "restart" "$(power "$p")" "$restart"
  end_prefix "$p"
}

case_nt() {
  local p; p=$(new_prefix nt)
  put_targets "$p" $FILES
  seed "$p" "[HKEY_LOCAL_MACHINE\\$CLASS\\$LINK$PARAMS]
\"FriendlyName\"=\"SAA7130 Video Capture\"
[HKEY_LOCAL_MACHINE\\$CLASS\\$OTHER_LINK$PARAMS]
\"FriendlyName\"=\"Other Capture\""
  run_install "$p"
  expect_eq "renamed" "$(reg_value "$p" "$CLASS\\$LINK$PARAMS" FriendlyName)" "$WANTED"
  expect_eq "other card" "$(reg_value "$p" "$CLASS\\$OTHER_LINK$PARAMS" FriendlyName)" "Other Capture"
  expect_eq "boxes" "$(boxes "$p")" "$QUESTION"
  expect_eq "restart" "$(power "$p")" "ExitWindowsEx 0x6 0x0"
  # Written with its terminator, the name now compares equal: nothing to do.
  run_install "$p"
  expect_eq "second run boxes" "$(boxes "$p")" "$UPTODATE"
  expect_eq "second run restart" "$(power "$p")" ""
  end_prefix "$p"
}

case_win98() {
  local p; p=$(new_prefix win98)
  put_targets "$p" $FILES
  seed "$p" "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Install.exe]
\"Version\"=\"win98\"
[HKEY_LOCAL_MACHINE\\Enum\\PCI\\$CARD\\BUS_00&DEV_0A&FUNC_00]
\"DeviceDesc\"=\"card\"
[HKEY_LOCAL_MACHINE\\$CLASS98\\0001]
\"DeviceInstance\"=\"PCI\\\\$CARD\\\\BUS_00&DEV_0B&FUNC_00\"
[HKEY_LOCAL_MACHINE\\$CLASS98\\0001$PARAMS]
\"FriendlyName\"=\"Another Instance\"
[HKEY_LOCAL_MACHINE\\$CLASS98\\0002]
\"DeviceInstance\"=\"PCI\\\\$CARD\\\\BUS_00&DEV_0A&FUNC_00\"
[HKEY_LOCAL_MACHINE\\$CLASS98\\0002$PARAMS]
\"FriendlyName\"=\"SAA7130 Video Capture\"
[HKEY_LOCAL_MACHINE\\$CLASS\\$LINK$PARAMS]
\"FriendlyName\"=\"NT Name\""
  run_install "$p"
  expect_eq "renamed" "$(reg_value "$p" "$CLASS98\\0002$PARAMS" FriendlyName)" "$WANTED"
  expect_eq "other instance" "$(reg_value "$p" "$CLASS98\\0001$PARAMS" FriendlyName)" "Another Instance"
  # The interface entry keyed by the symbolic link belongs to the NT path.
  expect_eq "NT entry" "$(reg_value "$p" "$CLASS\\$LINK$PARAMS" FriendlyName)" "NT Name"
  expect_eq "boxes" "$(boxes "$p")" "$QUESTION"
  expect_eq "restart" "$(power "$p")" "ExitWindowsEx 0x6 0x0"
  end_prefix "$p"
}

# Files that cannot be copied: one failure message, and no restart for them.
case_missing_driver() {
  local p; p=$(new_prefix nodriver)
  put_targets "$p" $(all_but system32/34ds.dll inf/cap7133.inf)
  rm -f "$p/drive_c/prog/Drivers/34ds.dll" "$p/drive_c/prog/Drivers/cap7133.inf"
  seed "$p" "$RIGHT_NAME"
  run_install "$p"
  expect_eq "boxes" "$(boxes "$p")" "$CANNOT"
  expect_eq "restart" "$(power "$p")" ""
  expect_eq "34ds.dll" "$(target "$p" system32/34ds.dll)" "<missing>"
  end_prefix "$p"
}

run_case() {
  CASE=$1; shift
  local out
  out=$("$@" 2>&1)
  if [ -n "$out" ]; then echo "$out"; return 1; fi
  echo "ok   [$CASE]"
}

# Three cases at a time: each has its own prefix and wineserver.
pids=()
run_case uptodate case_uptodate & pids+=($!)
run_case one-missing-ok case_one_missing 1 "ExitWindowsEx 0x6 0x0" & pids+=($!)
run_case one-missing-cancel case_one_missing 2 "" & pids+=($!)
for pid in "${pids[@]}"; do wait "$pid" || FAILED=1; done
pids=()
run_case nt case_nt & pids+=($!)
run_case win98 case_win98 & pids+=($!)
run_case missing-driver case_missing_driver & pids+=($!)
for pid in "${pids[@]}"; do wait "$pid" || FAILED=1; done
exit $FAILED
