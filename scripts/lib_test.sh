#!/usr/bin/env bash
# The set-up's judgement of a machine, through scripts/lib.sh's own functions:
# which binfmt_misc entries run i386 programs, the version of the emulator
# that runs them and its take-over when it is too old for Wine, the
# bookworm-backports sources entry taken from the machine's own sources, the
# time-scale factor's bounds and the PATH filter of the other architecture's
# Wine. Everything the functions read or write is a stand-in under a folder
# of this test's own; nothing of the machine's is touched.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
T=$(mktemp -d "${TMPDIR:-/tmp}/orvix-lib-test.XXXXXX")
trap 'rm -rf "$T"' EXIT
ROOT=$T/root
mkdir -p "$ROOT"
# A binfmt_misc folder and apt tree of the test's, before lib.sh reads them.
export ORVIX_BINFMT=$T/binfmt ORVIX_APT_DIR=$T/apt
. "$HERE/lib.sh"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected [$3], got [$2]"; }
yes_() { "$@" && echo yes || echo no; }

I386_MAGIC=7f454c4601010100000000000000000002000300
ELF_MASK=fffffffffffefe00fffffffffffffffffeffffff
# entry <name> <enabled|disabled> <interpreter> <magic> [mask] [offset]
entry() {
  {
    echo "$2"
    echo "interpreter $3"
    echo "flags: POCF"
    echo "offset ${6:-0}"
    echo "magic $4"
    [ -n "${5:-}" ] && echo "mask $5"
  } >"$ORVIX_BINFMT/$1"
}
binfmt_reset() {
  rm -rf "$ORVIX_BINFMT" && mkdir -p "$ORVIX_BINFMT"
  echo enabled >"$ORVIX_BINFMT/status"
  : >"$ORVIX_BINFMT/register"
}
entry_names() { orvix_emulator_entries | sed 's|.*/||' | tr '\n' ' '; }

# Stand-in emulators: each says its version as the emulator does. Called
# through a link whose name ends in -binfmt-P it takes its first argument for
# the program to run, as the emulator does there, and says no version.
EMU=$T/emu
mkdir -p "$EMU" "$T/libexec"
for v in 7.2.19 10.0.2; do
  cat >"$EMU/qemu-i386-$v" <<EOF
#!/bin/sh
case \$0 in *-binfmt-P) exit 1 ;; esac
[ "\$1" = --version ] && printf 'qemu-i386 version $v (Debian 1:$v+dfsg-1)\nCopyright (c) 2003-2025 the developers\n'
EOF
  chmod +x "$EMU/qemu-i386-$v"
done
printf '#!/bin/sh\necho usage: runs programs\n' >"$EMU/mute" && chmod +x "$EMU/mute"
ln -s "$EMU/qemu-i386-7.2.19" "$T/libexec/i386-binfmt-P"

# How this machine really runs 32-bit programs, read off the running probe,
# for the measurement to be held to below.
REAL_KIND=""
if orvix_runs_32bit; then
  REAL_KIND=$(orvix_32bit_image | head -n 1)
  case $REAL_KIND in native|emulated) ;; *) fail "what runs the 32-bit probe cannot be read: [$REAL_KIND]" ;; esac
fi

# The kernel, as far as the functions ask it: 32-bit programs run, and the
# running probe's image cannot be read, so that the entries decide.
ORVIX_RUNS_32BIT=yes
orvix_32bit_image() { :; }

# --- Which entries take i386 programs: by their magic, not their interpreter.
binfmt_reset
entry qemu-i386 enabled /usr/libexec/qemu-binfmt/i386-binfmt-P $I386_MAGIC $ELF_MASK
entry off-i386 disabled /usr/bin/qemu-i386 $I386_MAGIC $ELF_MASK
entry qemu-x86_64 enabled /usr/bin/qemu-x86_64 7f454c4602010100000000000000000002003e00 $ELF_MASK
entry qemu-arm enabled /usr/bin/qemu-arm 7f454c4601010100000000000000000002002800 $ELF_MASK
entry any-elf enabled /opt/box/run 7f454c46
entry machine-only enabled /opt/box/run32 0300 ffff 18
entry x86_64-at-18 enabled /opt/box/run64 3e00 ffff 18
entry pie-only enabled /opt/box/pie 7f454c4601010100000000000000000003000300 $ELF_MASK
entry any-abi enabled /opt/box/abi 7f454c4601010103000000000000000002000300 $ELF_MASK
entry abi-3 enabled /opt/box/abi3 7f454c4601010103000000000000000002000300 ffffffffffffffff
printf 'enabled\ninterpreter /usr/bin/wine\nflags: \nextension .exe\n' >"$ORVIX_BINFMT/DOSWin"
printf 'enabled\ninterpreter /opt/odd\nflags: \noffset 0\nmagic 7f45zz\n' >"$ORVIX_BINFMT/not-hex"
expect_eq "entries taking i386 programs" "$(entry_names)" "any-abi any-elf machine-only pie-only qemu-i386 "
expect_eq "mode with such an entry" "$(orvix_32bit_mode)" emulated
echo disabled >"$ORVIX_BINFMT/status"
expect_eq "entries while binfmt_misc is off" "$(entry_names)" ""

binfmt_reset
entry qemu-x86_64 enabled /usr/bin/qemu-x86_64 7f454c4602010100000000000000000002003e00 $ELF_MASK
expect_eq "mode with entries for other programs only" "$(orvix_32bit_mode)" native
# With nothing to read, the measurement tells what the running image says.
rm -rf "$ORVIX_BINFMT"
if [ -n "$REAL_KIND" ]; then
  expect_eq "mode measured, against the running image" "$(orvix_32bit_mode)" "$REAL_KIND"
fi

# What the running image says outranks the entries: a container's host may
# have registered the emulator where the container cannot read it.
orvix_32bit_image() { printf 'emulated\n/usr/bin/qemu-i386-static\n7.2\n'; }
expect_eq "mode from the running image" "$(orvix_32bit_mode)" emulated
expect_eq "version from the running image" "$(orvix_emulator_version)" 7.2
expect_eq "emulator from the running image" "$(orvix_emulator_path)" /usr/bin/qemu-i386-static
expect_eq "an old running emulator is not ready" "$(yes_ orvix_emulation_ready)" no
orvix_32bit_image() { echo native; }
binfmt_reset
entry qemu-i386 enabled "$T/libexec/i386-binfmt-P" $I386_MAGIC $ELF_MASK
expect_eq "mode when the image is the program itself" "$(orvix_32bit_mode)" native
orvix_32bit_image() { :; }

# --- The emulator's version, through the links an entry names.
expect_eq "version of 7.2" "$(orvix_interpreter_version "$EMU/qemu-i386-7.2.19")" 7.2
expect_eq "version of 10" "$(orvix_interpreter_version "$EMU/qemu-i386-10.0.2")" 10.0
expect_eq "no version said" "$(orvix_interpreter_version "$EMU/mute")" ""
for v in 7.2:no 9.2:no 10.0:yes 11.1:yes :no x:no; do
  expect_eq "runs Wine at version ${v%:*}" "$(yes_ orvix_version_runs_wine "${v%:*}")" "${v#*:}"
done
expect_eq "version of the entry's emulator" "$(orvix_emulator_version)" 7.2
expect_eq "Debian's 7.2 entry is not ready" "$(yes_ orvix_emulation_ready)" no
entry qemu-i386 enabled "$EMU/qemu-i386-10.0.2" $I386_MAGIC $ELF_MASK
expect_eq "a 10 entry is ready" "$(yes_ orvix_emulation_ready)" yes

# --- The take-over: the old entry is switched off, ours registered. The
# stand-in kernel runs i386 programs under whatever the register file last
# took, else under the first entry still enabled.
QEMU_I386=$EMU/qemu-i386-10.0.2
orvix_qemu_ok() { true; }
orvix_32bit_image() {
  local interp
  interp=$(sed -n 's/.*:\([^:]*\):OCF$/\1/p' "$ORVIX_BINFMT/register")
  [ -n "$interp" ] || interp=$(sed -n 's/^interpreter //p' "$(orvix_emulator_entry)" 2>/dev/null)
  [ -n "$interp" ] && printf 'emulated\n%s\n%s\n' "$interp" "$(orvix_interpreter_version "$(readlink -f "$interp")")"
}
binfmt_reset
entry qemu-i386 enabled "$T/libexec/i386-binfmt-P" $I386_MAGIC $ELF_MASK
entry qemu-x86_64 enabled /usr/bin/qemu-x86_64 7f454c4602010100000000000000000002003e00 $ELF_MASK
out=$(orvix_setup_emulation 2>&1); rc=$?
expect_eq "take-over succeeds" $rc 0
expect_eq "the old entry is switched off" "$(cat "$ORVIX_BINFMT/qemu-i386")" 0
expect_eq "other programs' entries stay" "$(head -n 1 "$ORVIX_BINFMT/qemu-x86_64")" enabled
expect_eq "ours is registered for i386 programs" "$(cat "$ORVIX_BINFMT/register")" \
  ":orvix-qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU_I386:OCF"
grep -q "run under $T/libexec/i386-binfmt-P (version 7.2)" <<<"$out" || fail "the log names the old emulator: $out"
grep -q "switched off binfmt_misc entry qemu-i386 (interpreter $T/libexec/i386-binfmt-P)" <<<"$out" \
  || fail "the log says the entry was switched off: $out"

# Ours, registered earlier from a file that has since changed, is registered
# afresh.
binfmt_reset
entry orvix-qemu-i386 enabled "$EMU/qemu-i386-7.2.19" $I386_MAGIC $ELF_MASK
out=$(orvix_setup_emulation 2>&1); rc=$?
expect_eq "ours renewed" "$rc:$(cat "$ORVIX_BINFMT/orvix-qemu-i386"):$(grep -c ":$QEMU_I386:OCF\$" "$ORVIX_BINFMT/register")" "0:-1:1"

binfmt_reset
entry qemu-i386 enabled "$EMU/qemu-i386-10.0.2" $I386_MAGIC $ELF_MASK
out=$(orvix_setup_emulation 2>&1); rc=$?
expect_eq "a 10 already registered is kept" "$rc:$(head -n 1 "$ORVIX_BINFMT/qemu-i386"):$(cat "$ORVIX_BINFMT/register")" "0:enabled:"

# A take-over that does not take: the machine still runs the old one.
binfmt_reset
entry qemu-i386 enabled "$T/libexec/i386-binfmt-P" $I386_MAGIC $ELF_MASK
orvix_32bit_image() { printf 'emulated\n/usr/bin/qemu-i386-static\n7.2\n'; }
out=$(orvix_setup_emulation 2>&1); rc=$?
expect_eq "a take-over that does not take fails" $rc 1
grep -q "still run under /usr/bin/qemu-i386-static (version 7.2)" <<<"$out" || fail "the log says what still runs: $out"

# Without root nothing is touched, and the log says what cannot be done.
binfmt_reset
entry qemu-i386 enabled "$T/libexec/i386-binfmt-P" $I386_MAGIC $ELF_MASK
orvix_32bit_image() { :; }
out=$(id() { echo 1000; }; orvix_setup_emulation 2>&1); rc=$?
expect_eq "without root" "$rc:$(head -n 1 "$ORVIX_BINFMT/qemu-i386")" "1:enabled"
grep -q "cannot register the emulator for i386 programs" <<<"$out" || fail "the log without root: $out"
unset -f orvix_qemu_ok

# --- bookworm-backports, from the machine's own sources.
apt_reset() { rm -rf "$ORVIX_APT_DIR" && mkdir -p "$ORVIX_APT_DIR/sources.list.d"; }
backports() { orvix_backports_sources 2>&1 || echo "(none)"; }
apt_reset
cat >"$ORVIX_APT_DIR/sources.list.d/debian.sources" <<'EOF'
# A mirror of the machine's own.
Types: deb deb-src
URIs: http://mirror.example.net/debian/
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/mirror-keyring.gpg

Types: deb
URIs: http://mirror.example.net/debian-security/
Suites: bookworm-security
Components: main
EOF
expect_eq "from a deb822 entry" "$(backports)" "Types: deb
URIs: http://mirror.example.net/debian/
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/mirror-keyring.gpg"
expect_eq "no backports yet" "$(yes_ orvix_has_backports)" no

apt_reset
cat >"$ORVIX_APT_DIR/sources.list" <<'EOF'
deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm contrib main
deb cdrom:[Debian_12.5.0_Bookworm]/ bookworm main
# deb http://deb.debian.org/debian bookworm-backports main
deb-src http://src.example.org/debian bookworm main
deb [ arch=amd64 signed-by=/etc/apt/keyrings/local.gpg ] http://10.0.0.5:3142/debian bookworm main non-free-firmware
EOF
cat >"$ORVIX_APT_DIR/sources.list.d/old.list.disabled" <<'EOF'
deb http://deb.debian.org/debian bookworm-backports main
EOF
echo "deb http://deb.debian.org/debian bookworm-backports-sloppy main" >"$ORVIX_APT_DIR/sources.list.d/sloppy.list"
cat >"$ORVIX_APT_DIR/sources.list.d/off.sources" <<'EOF'
Enabled: no
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
EOF
expect_eq "from a one-line entry with options" "$(backports)" "Types: deb
URIs: http://10.0.0.5:3142/debian
Suites: bookworm-backports
Components: main
Signed-By: /etc/apt/keyrings/local.gpg"
expect_eq "commented, switched-off and unread entries are no backports" "$(yes_ orvix_has_backports)" no
echo "deb http://10.0.0.5:3142/debian bookworm-backports main" >>"$ORVIX_APT_DIR/sources.list"
expect_eq "an uncommented backports line" "$(yes_ orvix_has_backports)" yes

apt_reset
echo "deb http://ftp.example.org/debian bookworm contrib main" >"$ORVIX_APT_DIR/sources.list"
echo "deb http://ftp.example.org/debian bookworm-updates main" >>"$ORVIX_APT_DIR/sources.list"
expect_eq "an entry without a keyring" "$(backports)" "Types: deb
URIs: http://ftp.example.org/debian
Suites: bookworm-backports
Components: main"

apt_reset
cat >"$ORVIX_APT_DIR/sources.list.d/inline.sources" <<'EOF'
Types: deb
URIs: mirror+file:///etc/apt/mirrors/debian.list
Suites: bookworm
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mDMEZabc
 -----END PGP PUBLIC KEY BLOCK-----
EOF
expect_eq "a key given inline is kept" "$(backports)" "Types: deb
URIs: mirror+file:///etc/apt/mirrors/debian.list
Suites: bookworm-backports
Components: main
Signed-By: 
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mDMEZabc
 -----END PGP PUBLIC KEY BLOCK-----"

apt_reset
echo "deb http://security.example.org/debian-security bookworm-security main" >"$ORVIX_APT_DIR/sources.list"
echo "deb http://ftp.example.org/debian bookworm contrib" >>"$ORVIX_APT_DIR/sources.list"
expect_eq "no bookworm main entry" "$(backports)" "(none)"

# --- The time-scale factor, held as the tests hold it.
for c in "65 25:2.6" "25 25:1.0" "20 25:1.0" "0 25:1.0" "65 0:1.0" "900 25:20.0"; do
  expect_eq "factor of ${c%:*}" "$(orvix_scale_factor ${c%:*})" "${c#*:}"
done

# --- The other architecture's Wine leaves PATH by its folder's exact name.
ROOT="$T/x.y[1]"
mkdir -p "$ROOT/build/x86_64/winebin" "$T/xzy1/build/x86_64/winebin"
keep=$T/xzy1/build/x86_64/winebin
PATH="$ROOT/build/x86_64/winebin:$keep:$PATH:$ROOT/build/x86_64/winebin"
( orvix_arch i686
  case ":$PATH:" in *":$ROOT/build/x86_64/winebin:"*) fail "x86_64's Wine left on PATH: $PATH" ;; esac
  case ":$PATH:" in *":$keep:"*) ;; *) fail "a folder of a similar name taken off PATH: $PATH" ;; esac
  orvix_arch x86_64
  expect_eq "x86_64's Wine first, once" "$(tr ':' '\n' <<<"$PATH" | grep -cxF "$ROOT/build/x86_64/winebin"):${PATH%%:*}" \
    "1:$ROOT/build/x86_64/winebin"
  exit $failures ) || failures=$((failures + $?))

if [ $failures = 0 ]; then echo "lib.sh: all checks passed"; exit 0; fi
echo "lib.sh: $failures checks failed"
exit 1
