#!/usr/bin/env bash
# The whole product as a user meets it, in a copy of the test prefix of its
# own (Wavetrap is registered from the program folder there) and a program
# folder laid out as dist/ is. The steps themselves are Windows code: the
# test program runs inside the copy and starts the programs from the folder.
# Usage: Scenario_test.sh <scenario_test.exe> <dist.list>, with WINEPREFIX the
# prepared test prefix.
set -u
EXE=$1 LIST=$2
. "$(dirname "$0")/../testsupport/PrefixCopy.sh"
prefix_copy_begin scenario

# A display of its own as well: with its own wineserver and screen the
# scenario sees no other test's windows and no other test sees its windows,
# so it runs beside the rest of the suite. Xvfb picks a free display number.
Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp 4>"$WORK/display" >/dev/null 2>&1 &
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "FAIL no X display"; exit 1; }
export DISPLAY=:$(head -n 1 "$WORK/display")

prefix_copy "$WORK/prefix"
FOLDER="$P/drive_c/Orvix Programs"
while IFS='|' read -r src rel; do
  [ -n "$src" ] || continue
  mkdir -p "$FOLDER/$(dirname "$rel")"
  cp -f "$src" "$FOLDER/$rel" || { echo "FAIL cannot lay out $rel"; exit 1; }
done <"$LIST"
# Wine's services start with the copy's first program, detached from ctest's
# pipe (see PrefixCopy.sh).
wine_p cmd /c exit >/dev/null
# The test's output is ctest's; stray Wine chatter on stderr is not.
WINEPREFIX=$P ORVIX_SCENARIO_FOLDER='C:\Orvix Programs\' timeout 240 wine "$EXE" --gtest_brief=1 \
  </dev/null 2>/dev/null
