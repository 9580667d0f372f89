# Shared by scripts/test, scripts/run and the benchmarks: packages, build, Wine
# prefix, and the display, sound server and wineserver the programs run against.
# Sourced, not run. Callers set ROOT to the repository's top folder.
#
# The deliverables are 32-bit (i686): they load the card maker's 32-bit filters.
# The same sources also build for x86_64 and run under wine64, for machines that
# cannot run 32-bit code at all. orvix_arch picks one of the two; everything
# below then works on that architecture's build folder, Wine and prefixes.

JOBS=${JOBS:-$(nproc)}
# Wine's ANSI code page becomes 936 (GBK); no glibc locale is needed for that,
# so bash's complaint about the missing locale is silenced.
{ export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml,winemenubuilder.exe="}

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }

# Little programs written byte by byte, for asking the machine how it runs
# 32-bit code before anything is built. orvix_le32 <n>: n as four
# little-endian bytes, in printf's \x notation.
orvix_le32() {
  printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255))
}
# orvix_elf32 <file> <code>: an i386 executable of one segment, loaded at
# 0x08048000, whose code (printf's \x notation) follows the headers at 0x54.
orvix_elf32() {
  local size
  size=$(orvix_le32 $((84 + $(printf "$2" | wc -c))))
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'\
'\x00\x80\x04\x08'"$size$size"'\x05\x00\x00\x00\x00\x10\x00\x00'"$2" >"$1" && chmod +x "$1"
}
# orvix_elf64 <file> <code>: the same for x86_64, loaded at 0x400000, code
# at 0x78.
orvix_elf64() {
  local size
  size=$(orvix_le32 $((120 + $(printf "$2" | wc -c))))'\x00\x00\x00\x00'
  printf '\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x3e\x00\x01\x00\x00\x00\x78\x00\x40\x00\x00\x00\x00\x00'\
'\x40\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x00\x00\x00\x00\x40\x00\x38\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x00\x00\x40\x00\x00\x00\x00\x00\x00\x00\x40\x00\x00\x00\x00\x00'"$size$size"\
'\x00\x10\x00\x00\x00\x00\x00\x00'"$2" >"$1" && chmod +x "$1"
}
# orvix_write_probe <file>: an i386 program that reads one byte from its
# input and exits with 42. Run with no input it ends at once; fed by a pipe
# that stays quiet it waits, so that what the kernel runs for it can be read.
orvix_write_probe() {
  # xor eax,eax; mov al,3; xor ebx,ebx; mov ecx,esp; xor edx,edx; inc edx;
  # int 0x80 (read); xor ebx,ebx; mov bl,42; xor eax,eax; inc eax; int 0x80
  orvix_elf32 "$1" '\x31\xc0\xb0\x03\x31\xdb\x89\xe1\x31\xd2\x42\xcd\x80\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80'
}

# orvix_runs_32bit: whether this machine executes 32-bit x86 code, natively or
# through an emulator. Tried, not guessed from uname: some x86_64 kernels
# refuse 32-bit programs outright ("Exec format error").
orvix_runs_32bit() {
  if [ -z "${ORVIX_RUNS_32BIT:-}" ]; then
    local probe rc
    probe=$(mktemp "${TMPDIR:-/tmp}/orvix-elf32.XXXXXX") || {
      log "cannot make a temporary file: whether 32-bit programs run is untried"; return 1; }
    orvix_write_probe "$probe"
    # An emulator that hangs on it runs no 32-bit code either.
    timeout 60 "$probe" </dev/null 2>/dev/null; rc=$?
    rm -f "$probe"
    ORVIX_RUNS_32BIT=no
    [ $rc = 42 ] && ORVIX_RUNS_32BIT=yes
  fi
  [ "$ORVIX_RUNS_32BIT" = yes ]
}

BINFMT=${ORVIX_BINFMT:-/proc/sys/fs/binfmt_misc}
# The start of i386 programs as binfmt_misc compares it: ELF identification,
# then an executable's type (2) or a position-independent one's (3, Wine's own
# loader among them), the machine (3) and the version.
ORVIX_I386_HEADERS="7f454c460101010000000000000000000200030001000000
  7f454c460101010000000000000000000300030001000000"

# orvix_entry_takes_i386 <entry>: whether a binfmt_misc entry, as its file
# reads, is enabled and matches i386 programs, whatever interpreter it names:
# the kernel hands such a program to it instead of running it. The entry's
# magic and mask are compared with each header above at the entry's offset.
orvix_entry_takes_i386() {
  local line enabled=0 offset=0 magic="" mask="" header i b m w matched
  while IFS= read -r line; do
    case $line in
      enabled) enabled=1 ;;
      "offset "*) offset=${line#offset } ;;
      "magic "*) magic=${line#magic } ;;
      "mask "*) mask=${line#mask } ;;
    esac
  done <"$1" 2>/dev/null
  [ $enabled = 1 ] && [ -n "$magic" ] || return 1
  case $offset$magic$mask in *[!0-9a-fA-F]*) return 1 ;; esac
  for header in $ORVIX_I386_HEADERS; do
    matched=1
    for ((i = 0; i < ${#magic} / 2; i++)); do
      b=${header:2*(offset+i):2} m=${mask:2*i:2} w=${magic:2*i:2}
      [ -n "$b" ] || { matched=0; break; }
      (( ((16#$b ^ 16#$w) & 16#${m:-ff}) == 0 )) || { matched=0; break; }
    done
    [ $matched = 1 ] && return 0
  done
  return 1
}

# orvix_binfmt_readable: whether this machine's binfmt_misc entries can be
# read here (mounted, and not switched off as a whole).
orvix_binfmt_readable() {
  [ -f "$BINFMT/status" ] && [ "$(cat "$BINFMT/status" 2>/dev/null)" = enabled ]
}

# orvix_emulator_entries: every enabled binfmt_misc entry that takes i386
# programs, one path a line. The kernel asks binfmt_misc before its own
# loaders, so with one of them every 32-bit program runs emulated.
orvix_emulator_entries() {
  orvix_binfmt_readable || return 1
  local entry found=1
  for entry in "$BINFMT"/*; do
    case ${entry##*/} in register|status) continue ;; esac
    [ -f "$entry" ] && orvix_entry_takes_i386 "$entry" && { echo "$entry"; found=0; }
  done
  return $found
}
# The first of them.
orvix_emulator_entry() { orvix_emulator_entries | head -n 1 | grep .; }

# orvix_32bit_image: what the kernel actually runs for a 32-bit program, read
# off /proc/<pid>/exe of the probe while it waits on its input. Prints "native"
# when that is the probe itself; otherwise "emulated", then the emulator's path
# as the kernel names it (a container's host may have registered it from a
# file this machine does not show), then its version, asked of that very file.
# Prints nothing when it cannot be read.
orvix_32bit_image() {
  local dir pid fd self image="" n out=""
  dir=$(mktemp -d "${TMPDIR:-/tmp}/orvix-image.XXXXXX") || return 0
  if orvix_write_probe "$dir/probe" && mkfifo "$dir/in"; then
    self=$(readlink "/proc/$$/exe")
    "$dir/probe" <"$dir/in" 2>/dev/null &
    pid=$!
    exec {fd}>"$dir/in"
    # Until the child has replaced the shell with what the kernel runs.
    for ((n = 0; n < 500; n++)); do
      image=$(readlink "/proc/$pid/exe" 2>/dev/null) || { image=""; break; }
      [ "$image" != "$self" ] && break
      sleep 0.01
    done
    [ "$image" = "$self" ] && image=""
    if [ -n "$image" ]; then
      if [ "$image" = "$(readlink -f "$dir/probe")" ]; then
        out=native
      else
        out=$(printf 'emulated\n%s\n%s' "$image" "$(orvix_interpreter_version "/proc/$pid/exe")")
      fi
    fi
    # Its input ends: the probe's read returns and it exits, or is ended.
    exec {fd}>&-
    for ((n = 0; n < 500; n++)); do readlink "/proc/$pid/exe" >/dev/null 2>&1 || break; sleep 0.01; done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$dir"
  # Said only now: a reader that stops early (head -n 1) ends this with
  # SIGPIPE at its first write, which must not come before the clean-up.
  [ -z "$out" ] || printf '%s\n' "$out"
  return 0
}

# orvix_interpreter_version <program>: an emulator's version as it gives it
# ("qemu-i386 version 10.0.2 (...)"), as major.minor; nothing when it gives none.
orvix_interpreter_version() {
  "$1" --version </dev/null 2>/dev/null | head -n 3 \
    | sed -n 's/.*[Vv]ersion \([0-9][0-9]*\)\.\([0-9][0-9]*\).*/\1.\2/p' | head -n 1
}

# Whether an emulator of that version runs Wine: 10 and later do. Debian 12's
# own qemu-user (7.2) does not: Wine's address-space reservations spin until
# it gives up.
orvix_version_runs_wine() {
  [ -n "$1" ] && [ "${1%%.*}" -ge 10 ] 2>/dev/null
}

# orvix_measured_mode: native or emulated, by measurement, for where neither
# the running probe nor binfmt_misc can be read: the same loop of 100 million
# turns (dec ecx; jnz, at the same alignment) as an i386 and as an x86_64
# program, the best of three turns each, in processor time, less that of an
# x86_64 program that only exits (the cost of starting one, some 8 ms here).
# Natively the two loops take as long (28 ms each here); emulated the i386 one
# takes 6 to 18 times as long under qemu-i386 10 on the machines measured, 27
# times under 7.2. Each turn is given ORVIX_MEASURE_LIMIT seconds: an emulator
# that hangs on the loop runs it no faster than that.
ORVIX_EMULATED_RATIO=4
ORVIX_MEASURE_LIMIT=20
orvix_measured_mode() {
  local dir t32="" t64="" t0="" i turns
  dir=$(mktemp -d "${TMPDIR:-/tmp}/orvix-loop.XXXXXX") || return 1
  turns=$(orvix_le32 100000000)
  # mov ecx,turns; seven nops (the loop at 0x08048060); L: dec ecx; jnz L;
  # mov ebx,42; mov eax,1; int 0x80
  orvix_elf32 "$dir/loop32" "\xb9$turns\x90\x90\x90\x90\x90\x90\x90\xff\xc9\x75\xfc\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80"
  # mov ecx,turns; three nops (the loop at 0x400080); L: dec ecx; jnz L;
  # mov edi,42; mov eax,60; syscall
  orvix_elf64 "$dir/loop64" "\xb9$turns\x90\x90\x90\xff\xc9\x75\xfc\xbf\x2a\x00\x00\x00\xb8\x3c\x00\x00\x00\x0f\x05"
  # mov edi,42; mov eax,60; syscall
  orvix_elf64 "$dir/exit64" "\xbf\x2a\x00\x00\x00\xb8\x3c\x00\x00\x00\x0f\x05"
  for i in 1 2 3; do
    t32="$t32 $(orvix_cpu_seconds "$ORVIX_MEASURE_LIMIT" "$dir/loop32")"
    t64="$t64 $(orvix_cpu_seconds "$ORVIX_MEASURE_LIMIT" "$dir/loop64")"
    t0="$t0 $(orvix_cpu_seconds "$ORVIX_MEASURE_LIMIT" "$dir/exit64")"
  done
  rm -rf "$dir"
  awk -v a="$(orvix_least $t32)" -v b="$(orvix_least $t64)" -v z="$(orvix_least $t0)" \
    -v r="$ORVIX_EMULATED_RATIO" \
    'BEGIN { a -= z; b -= z; print (b > 0 && a / b >= r) ? "emulated" : "native" }'
}
# orvix_cpu_seconds <limit> <program>: the processor time the program takes,
# in seconds: unlike the time on the clock, it stays the same on a machine
# busy with other work, which once made the emulated loop look native. One
# still running at the limit is ended there and counts as taking the limit.
orvix_cpu_seconds() {
  local TIMEFORMAT='%3U %3S' times
  times=$( { time timeout -k 1 "$1" "$2" </dev/null >/dev/null 2>&1; } 2>&1 )
  case $? in 124|137) echo "$1"; return ;; esac
  awk -v t="$times" 'BEGIN { split(t, a, " "); print a[1] + a[2] }'
}

# orvix_probe_32bit: what runs 32-bit programs here, asked once and kept for
# the run: ORVIX_32BIT_MODE (native, emulated or none), ORVIX_EMULATOR and
# ORVIX_EMULATOR_VERSION (major.minor; either empty where unknown), and
# ORVIX_32BIT_SEEN, what told it (image, entries or measured). What the kernel
# runs for the probe decides; where that cannot be read, the binfmt_misc
# entries, by the interpreter of the first that takes i386 programs (asked with
# its links followed: a name such as i386-binfmt-P is itself a mode of the
# emulator's); where those cannot be read either, a measurement. The functions
# below read the answer. Called before the subshells a script runs ($(...)),
# or each of them asks again, and a measurement may answer otherwise;
# orvix_forget_32bit drops it once a registration has changed it.
orvix_probe_32bit() {
  [ -n "${ORVIX_32BIT_MODE:-}" ] && return 0
  local kind="" path="" version="" seen="" entry
  if orvix_runs_32bit; then
    { read -r kind; read -r path; read -r version; } < <(orvix_32bit_image)
    case $kind in
      native|emulated) seen=image ;;
      *)
        path="" version="" seen=entries
        if entry=$(orvix_emulator_entry); then
          kind=emulated
          path=$(sed -n 's/^interpreter //p' "$entry")
          [ -n "$path" ] && [ -e "$path" ] && version=$(orvix_interpreter_version "$(readlink -f "$path")")
        elif orvix_binfmt_readable; then kind=native
        else
          # Unmeasured, it counts as emulated: the time limits are then
          # measured and scaled, which costs a native machine nothing.
          seen=measured
          kind=$(orvix_measured_mode) || kind=emulated
        fi ;;
    esac
    [ "$kind" = emulated ] || path="" version=""
  else
    kind=none
  fi
  ORVIX_32BIT_MODE=$kind ORVIX_EMULATOR=$path ORVIX_EMULATOR_VERSION=$version ORVIX_32BIT_SEEN=$seen
}
orvix_forget_32bit() {
  unset ORVIX_RUNS_32BIT ORVIX_32BIT_MODE ORVIX_EMULATOR ORVIX_EMULATOR_VERSION ORVIX_32BIT_SEEN
}

# orvix_32bit_mode: native, emulated or none.
orvix_32bit_mode() { orvix_probe_32bit; echo "$ORVIX_32BIT_MODE"; }
# The emulator that runs i386 programs now, and its version (empty where
# unknown).
orvix_emulator_path() { orvix_probe_32bit; echo "$ORVIX_EMULATOR"; }
orvix_emulator_version() { orvix_probe_32bit; echo "$ORVIX_EMULATOR_VERSION"; }
# The emulator as the log and the summary name it.
orvix_emulator_said() {
  orvix_probe_32bit
  echo "${ORVIX_EMULATOR:-an emulator this machine does not show} (version ${ORVIX_EMULATOR_VERSION:-unknown})"
}

# orvix_emulation_ready: 32-bit programs run natively, or under an emulator
# that runs Wine. Where only a measurement shows the emulator, its version is
# unknown, and it counts as one that does: nothing there is known to be too
# old, a replacement registered there could not be read back to see that it
# took, and installing and registering one would take over from an emulator
# that may well run Wine. Where it does not, the i686 suite's tests fail.
orvix_emulation_ready() {
  orvix_probe_32bit
  case $ORVIX_32BIT_MODE in
    native) return 0 ;;
    emulated) [ "${ORVIX_32BIT_SEEN:-}" = measured ] || orvix_version_runs_wine "$ORVIX_EMULATOR_VERSION" ;;
    *) return 1 ;;
  esac
}

# orvix_32bit_state: why the i686 suite needs an emulator set up, as the log
# and the summary say it.
orvix_32bit_state() {
  orvix_probe_32bit
  case $ORVIX_32BIT_MODE in
    native) echo "32-bit programs run natively" ;;
    emulated)
      if [ -n "$ORVIX_EMULATOR_VERSION" ]; then
        echo "i386 programs run under $(orvix_emulator_said), which cannot run 32-bit Wine"
      else
        echo "i386 programs run under $(orvix_emulator_said), which is not known to run 32-bit Wine"
      fi ;;
    *) echo "this machine runs 32-bit code neither natively nor emulated" ;;
  esac
}

# What stands in the way of the i686 suite: ORVIX_I686_NOT_RUN, empty while
# nothing does. orvix_cannot_emulate <why> sets it, from what runs 32-bit
# programs now and why that cannot be changed, and logs it.
ORVIX_I686_NOT_RUN=""
orvix_cannot_emulate() {
  ORVIX_I686_NOT_RUN="$(orvix_32bit_state); $1"
  log "the i686 suite cannot run on this machine: $ORVIX_I686_NOT_RUN"
  return 1
}

# Whether this shell may register emulators and install packages.
orvix_is_root() { [ "$(id -u)" = 0 ]; }

# orvix_binfmt_writable: whether entries can be registered: binfmt_misc's
# register file, mounting binfmt_misc first where it is not.
orvix_binfmt_writable() {
  [ -w "$BINFMT/register" ] || orvix_mount_binfmt
  [ -w "$BINFMT/register" ]
}
orvix_mount_binfmt() { mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null; }

# orvix_setup_emulation: where 32-bit code does not run, or runs under an
# emulator too old for Wine, qemu-user 10's qemu-i386 (static, installed from
# bookworm-backports by orvix_install_deps) is registered for i386 programs
# with the usual magic and mask; F opens it once, now, so the handler works in
# every mount namespace. Any other enabled entry for i386 programs is switched
# off first: the kernel would hand programs to whichever matches first. Fails,
# saying why (orvix_cannot_emulate), where it cannot be done or did not take.
QEMU_I386=/usr/bin/qemu-i386
ORVIX_BINFMT_NAME=orvix-qemu-i386
orvix_setup_emulation() {
  local entry interp
  orvix_emulation_ready && return 0
  [ "$ORVIX_32BIT_MODE" = emulated ] && log "$(orvix_32bit_state): $QEMU_I386 takes over"
  orvix_is_root || { orvix_cannot_emulate "registering an emulator for them needs root (binfmt_misc)"; return; }
  orvix_qemu_ok || { orvix_cannot_emulate "qemu-user 10 is not installed"; return; }
  orvix_binfmt_writable || { orvix_cannot_emulate "binfmt_misc cannot be mounted, so no emulator can be registered"; return; }
  for entry in $(orvix_emulator_entries); do
    interp=$(sed -n 's/^interpreter //p' "$entry")
    if echo 0 >"$entry"; then
      log "switched off binfmt_misc entry ${entry##*/} (interpreter $interp): $QEMU_I386 runs i386 programs instead"
    else
      log "cannot switch off binfmt_misc entry ${entry##*/}"
    fi
  done
  # Registered afresh, so that F holds the emulator installed now.
  [ -f "$BINFMT/$ORVIX_BINFMT_NAME" ] && echo -1 >"$BINFMT/$ORVIX_BINFMT_NAME"
  printf '%s' ":$ORVIX_BINFMT_NAME:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU_I386:OCF" \
    >"$BINFMT/register" || { orvix_cannot_emulate "$QEMU_I386 cannot be registered for them"; return; }
  orvix_forget_32bit
  orvix_emulation_ready || { orvix_cannot_emulate "the take-over by $QEMU_I386 did not take"; return; }
}

# Whether the emulator installed is one that runs Wine (version 10 or later).
orvix_qemu_ok() {
  local v
  v=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
  dpkg --compare-versions "$v" ge 1:10 && [ -x "$QEMU_I386" ]
}

# What the i686 suite ran on, for the summary.
orvix_32bit_how() {
  case $(orvix_32bit_mode) in
    native) echo "native" ;;
    emulated) echo "emulated by $(orvix_emulator_said)" ;;
    *) echo "not run: this machine cannot run 32-bit code" ;;
  esac
}

# The architectures whose suites run here: both where 32-bit code runs
# (natively or emulated), x86_64 alone elsewhere or where the set-up found
# that the i686 suite cannot run (ORVIX_I686_NOT_RUN). ORVIX_ARCH=i686|x86_64
# chooses one.
orvix_run_archs() {
  local archs=x86_64
  if [ -n "${ORVIX_ARCH:-}" ]; then archs=$ORVIX_ARCH
  elif orvix_runs_32bit; then archs="i686 x86_64"; fi
  [ -z "$ORVIX_I686_NOT_RUN" ] || archs=${archs/i686/}
  echo $archs
}
# The one architecture the product runs as for a user: the deliverable where
# 32-bit code runs natively, the x86_64 build elsewhere (emulated, the
# deliverables start several times slower).
orvix_main_arch() {
  if [ -n "${ORVIX_ARCH:-}" ]; then echo "$ORVIX_ARCH"
  elif [ "$(orvix_32bit_mode)" = native ]; then echo i686
  else echo x86_64; fi
}

# orvix_arch <i686|x86_64>: build folder, program folder, Wine and prefix kind
# for that architecture. For x86_64 a `wine` first on PATH runs wine64, since
# Debian's own `wine` takes the 32-bit loader whenever it is installed; the
# scripts, ctest and the tests' own shell scripts then all say just `wine`.
orvix_arch() {
  ARCH=$1
  BUILD_DIR=$ROOT/build/$ARCH
  # Each architecture's Wine is its own: nothing of the other one's (its
  # wrapper on PATH, its loader) may stay behind from an earlier call.
  local other path=":$PATH:"
  for other in "$ROOT"/build/*/winebin; do
    # Compared as it stands: a folder's name may hold what a pattern reads
    # otherwise (a dot, a bracket).
    while [[ $path == *":$other:"* ]]; do path=${path//":$other:"/:}; done
  done
  path=${path#:}; PATH=${path%:}
  export PATH
  unset WINELOADER
  case $ARCH in
    i686)
      DIST=${ORVIX_DIST:-$ROOT/dist}
      export WINEARCH=win32
      WINE=wine ;;
    x86_64)
      DIST=${ORVIX_DIST:-$ROOT/dist-x86_64}
      export WINEARCH=win64
      WINE=/usr/lib/wine/wine64
      export WINELOADER=$WINE
      mkdir -p "$BUILD_DIR/winebin"
      printf '#!/bin/sh\nexec %s "$@"\n' "$WINE" >"$BUILD_DIR/winebin/wine"
      chmod +x "$BUILD_DIR/winebin/wine"
      case ":$PATH:" in *":$BUILD_DIR/winebin:"*) ;; *) PATH=$BUILD_DIR/winebin:$PATH ;; esac
      export PATH ;;
    *) log "unknown architecture $ARCH (i686 or x86_64)"; return 1 ;;
  esac
}

# Every build needs both cross compilers: the i686 deliverables compile on
# every machine. Python draws the skins at build time; the GStreamer tools
# check recorded files from the Linux side in the tests. Wine's 32-bit half and
# its 32-bit GStreamer plugins for the i686 suite; the 64-bit ones always.
PACKAGES="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth pulseaudio
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly googletest cmake imagemagick fonts-wine fonts-wqy-microhei
  python3 gstreamer1.0-tools gstreamer1.0-plugins-base-apps"
PACKAGES_32="wine32:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  gstreamer1.0-plugins-bad:i386 gstreamer1.0-plugins-ugly:i386"

# apt's sources: tests point ORVIX_APT_DIR at a tree of their own.
ORVIX_APT_DIR=${ORVIX_APT_DIR:-/etc/apt}

# orvix_apt_entries: every source apt reads (sources.list and the .list and
# .sources files beside it; commented lines and "Enabled: no" stanzas left
# out), one a line: type|URI|suite|components|Signed-By, the last with its
# lines joined by \001 (a key given inline spans several).
orvix_apt_entries() {
  local f
  for f in "$ORVIX_APT_DIR/sources.list" "$ORVIX_APT_DIR"/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '
      /^[ \t]*(#|$)/ { next }
      {
        type = $1; i = 2; signed = ""
        if ($2 ~ /^\[/) {
          opts = ""
          for (; i <= NF; i++) { opts = opts " " $i; if ($i ~ /\]$/) { i++; break } }
          gsub(/[\[\]]/, "", opts)
          n = split(opts, o, " ")
          for (k = 1; k <= n; k++) if (tolower(o[k]) ~ /^signed-by=/) signed = substr(o[k], 11)
        }
        uri = $i; suite = $(i + 1); comps = ""
        for (k = i + 2; k <= NF; k++) comps = comps (comps == "" ? "" : " ") $k
        if (uri ~ /^cdrom:/) next
        print type "|" uri "|" suite "|" comps "|" signed
      }' "$f"
  done
  for f in "$ORVIX_APT_DIR"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush(   nt, nu, ns, a, b, c, t, u, x) {
        if (tolower(f["enabled"]) != "no" && f["types"] != "") {
          nt = split(f["types"], t, " "); nu = split(f["uris"], u, " "); ns = split(f["suites"], x, " ")
          for (a = 1; a <= nt; a++) for (b = 1; b <= nu; b++) for (c = 1; c <= ns; c++)
            if (u[b] !~ /^cdrom:/)
              print t[a] "|" u[b] "|" x[c] "|" f["components"] "|" f["signed-by"]
        }
        delete f; field = ""
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ {
        if (field == "") next
        line = $0; sub(/^[ \t]+/, "", line)
        if (field == "signed-by") f[field] = f[field] "\001" $0
        else f[field] = f[field] " " line
        next
      }
      {
        field = tolower(substr($0, 1, index($0, ":") - 1))
        value = substr($0, index($0, ":") + 1); sub(/^[ \t]+/, "", value); sub(/[ \t]+$/, "", value)
        f[field] = value
      }
      END { flush() }' "$f"
  done
}

# orvix_has_backports: whether apt already reads bookworm-backports.
orvix_has_backports() {
  orvix_apt_entries | awk -F'|' '$1 == "deb" && $3 == "bookworm-backports" { found = 1 } END { exit !found }'
}

# apt's own state: the release files it fetched for each source, in lists/.
ORVIX_APT_STATE=${ORVIX_APT_STATE:-/var/lib/apt}

# orvix_debian_entry <uri> <suite> <signed-by>: whether apt knows that source
# as Debian's own archive: it is checked against Debian's archive keyring, or
# the release file apt fetched for it says so (Origin: Debian). That file is
# named as apt names it: the address without its scheme and user, the
# characters apt quotes as %xx, then every / as _.
ORVIX_DEBIAN_KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
orvix_debian_entry() {
  [ "$3" = "$ORVIX_DEBIAN_KEYRING" ] && return 0
  local name=$1 quoted="" c i release
  case $name in *://*) name=${name#*://} ;; *:*) name=${name#*:} ;; esac
  case ${name%%/*} in *@*) name=${name#*@} ;; esac
  name="${name%/}/dists/$2/"
  for ((i = 0; i < ${#name}; i++)); do
    c=${name:i:1}
    case $c in [][\\\|{}\<\>\"^~_=!@#\$%\&*\ ]) printf -v c '%%%02x' "'$c" ;; esac
    quoted+=$c
  done
  for release in InRelease Release; do
    grep -qsx 'Origin: Debian' "$ORVIX_APT_STATE/lists/${quoted//\//_}$release" && return 0
  done
  return 1
}

# orvix_backports_sources: the sources entry for bookworm-backports, from the
# machine's own entry for Debian bookworm's main archive: the same address (a
# mirror stays that mirror) and the same keyring. Other archives may serve a
# suite of that name (a vendor's own packages); only Debian's entry counts,
# whichever file holds it. Fails where there is none.
orvix_backports_sources() {
  local type uri suite comps signed
  while IFS='|' read -r type uri suite comps signed; do
    [ "$type" = deb ] && [ "$suite" = bookworm ] && [[ " $comps " == *" main "* ]] || continue
    orvix_debian_entry "$uri" "$suite" "$signed" || continue
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\n' "$uri"
    [ -z "$signed" ] || printf 'Signed-By: %s\n' "${signed//$'\001'/$'\n'}"
    return 0
  done < <(orvix_apt_entries)
  return 1
}

# orvix_install_deps [i686]: the packages every build needs; with i686, also
# what runs the 32-bit suite: Wine's 32-bit half and its GStreamer plugins,
# and where 32-bit code does not run natively, nor under an emulator that runs
# Wine, the emulator (from bookworm-backports, whose sources entry is added
# when missing) registered for i386 programs. What the i686 suite needs is
# left out where the emulator cannot be set up (no root, no binfmt_misc, no
# Debian entry to take backports from): that is logged and kept in
# ORVIX_I686_NOT_RUN, and the rest is installed, so that the x86_64 suite runs.
ORVIX_BACKPORTS_LIST=$ORVIX_APT_DIR/sources.list.d/orvix-bookworm-backports.sources
orvix_install_deps() {
  local missing="" want=$PACKAGES p backports="" entry=""
  if [ "${1:-}" = i686 ]; then
    ORVIX_I686_NOT_RUN=""
    if ! orvix_emulation_ready; then
      orvix_qemu_ok || backports=qemu-user
      if ! orvix_is_root; then
        orvix_cannot_emulate "the emulator needs root to ${backports:+install and }register"
      elif ! orvix_binfmt_writable; then
        orvix_cannot_emulate "binfmt_misc cannot be mounted, so no emulator can be registered"
      elif [ -n "$backports" ] && ! orvix_has_backports; then
        # An unsigned entry is known as Debian's by the release file apt
        # fetched for it: where the lists were never fetched, or were
        # cleaned, they are fetched first.
        entry=$(orvix_backports_sources) || { LC_ALL=C apt-get update -q >/dev/null 2>&1; entry=$(orvix_backports_sources); } \
          || orvix_cannot_emulate "no sources entry of Debian bookworm's main archive to take bookworm-backports' address from"
      fi
      [ -z "$ORVIX_I686_NOT_RUN" ] || backports=""
    fi
    [ -n "$ORVIX_I686_NOT_RUN" ] || want="$want $PACKAGES_32"
  fi
  for p in $want; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  if [ -n "$missing$backports" ]; then
    orvix_is_root || { log "cannot install$missing: that needs root"; return 1; }
    log "installing:$missing${backports:+ $backports (bookworm-backports)}"
    export DEBIAN_FRONTEND=noninteractive
    case "$missing" in *:i386*)
      dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386 ;;
    esac
    if [ -n "$entry" ]; then
      printf '%s\n' "$entry" >"$ORVIX_BACKPORTS_LIST" || { log "cannot write $ORVIX_BACKPORTS_LIST"; return 1; }
      log "added bookworm-backports from $(sed -n 's/^URIs: //p' <<<"$entry") ($ORVIX_BACKPORTS_LIST)"
    fi
    local out
    out=$( { LC_ALL=C apt-get update -q && \
             { [ -z "$missing" ] || LC_ALL=C apt-get install -y -q --no-install-recommends $missing; } && \
             { [ -z "$backports" ] || LC_ALL=C apt-get install -y -q --no-install-recommends \
                 -t bookworm-backports $backports; }; } 2>&1 ) || {
      printf '%s\n' "$out" | tail -20 >&2; log "package install failed"; return 1; }
  fi
  # Without the emulator the x86_64 suite still runs; scripts/test then
  # reports the i686 suite as not run, and fails.
  if [ "${1:-}" = i686 ] && [ -z "$ORVIX_I686_NOT_RUN" ]; then
    orvix_setup_emulation
  fi
  return 0
}

# The build's Python is Debian's: a version manager's shim on PATH is a shell
# script that complains about the Chinese locale at every call.
ORVIX_PYTHON=${ORVIX_PYTHON:-$(command -v /usr/bin/python3)}

# A compiler cache, when the machine has one, is shared by every checkout
# of the repository (paths are hashed relative to the checkout).
ORVIX_LAUNCHER=""
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}
  ORVIX_LAUNCHER="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi

orvix_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} $ORVIX_LAUNCHER \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw.cmake" -DORVIX_ARCH="$ARCH" \
    ${ORVIX_PYTHON:+-DPython3_EXECUTABLE="$ORVIX_PYTHON"} >/dev/null
  cmake --build "$BUILD_DIR" -j "$JOBS" 2>&1 | grep -E 'error|warning|Error' || true
  # grep above swallows the build's exit status: ask again, quietly.
  cmake --build "$BUILD_DIR" -j "$JOBS" >/dev/null 2>&1 || {
    cmake --build "$BUILD_DIR" -j 1 2>&1 | tail -40; log "build failed"; return 1; }
}

# orvix_services_start: private X display, PulseAudio null sink, persistent
# wineserver for $WINEPREFIX. orvix_services_stop ends all of it.
ORVIX_PIDS=""
orvix_services_start() {
  local want_display=${1:-}      # "own" forces a private Xvfb
  if [ "$want_display" = own ] || [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display number itself: two suites starting at once
    # never share one.
    local numfile
    numfile=$(mktemp) || { log "cannot make a temporary file: no display started"; return 1; }
    Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp 4>"$numfile" >/dev/null 2>&1 &
    ORVIX_PIDS="$ORVIX_PIDS $!"
    for _ in $(seq 100); do [ -s "$numfile" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n 1 "$numfile")
    rm -f "$numfile"
  fi
  export XDG_RUNTIME_DIR=${ORVIX_RUNTIME:-$BUILD_DIR/runtime}
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_RUNTIME_PATH=$XDG_RUNTIME_DIR/pulse
  if command -v pulseaudio >/dev/null; then
    pulseaudio --kill >/dev/null 2>&1 || true
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --disallow-exit \
      --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
      >/dev/null 2>&1 || log "pulseaudio did not start: no sound devices in Wine"
  fi
  wineserver -p >/dev/null 2>&1 </dev/null &
  sleep 0.2
  orvix_wine_services
}

# Start Wine's own services (services.exe, explorer.exe for the desktop) now,
# detached from any caller's output: a test started first would hand them its
# pipe, and ctest would wait for them to close it. Wine ends them again when
# no other program runs, so a program that only sleeps keeps them up, where
# the build made one.
orvix_wine_services() {
  if [ -f "$BUILD_DIR/bin/wine_keeper.exe" ]; then
    wine "$BUILD_DIR/bin/wine_keeper.exe" </dev/null >/dev/null 2>&1 &
    ORVIX_PIDS="$ORVIX_PIDS $!"
  fi
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# orvix_save_registry: the server keeps registry changes in memory and writes
# them to the prefix's files only now and then or when it ends. Tests that
# copy the prefix (Install's, Wavetrap's registration) need the stand-ins'
# registrations in the files: the server is ended, which saves them, and
# started again with Wine's services.
orvix_save_registry() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 </dev/null &
  sleep 0.2
  orvix_wine_services
}

orvix_services_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  pulseaudio --kill >/dev/null 2>&1 || true
  for p in $ORVIX_PIDS; do kill "$p" 2>/dev/null || true; done
  ORVIX_PIDS=""
}

# orvix_prefix <dir>: a Wine prefix of the current architecture's kind
# (WINEARCH, from orvix_arch), created once and kept.
orvix_prefix() {
  export WINEPREFIX=$1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating $WINEARCH Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine wineboot -i >/dev/null 2>&1 </dev/null
    # Windows not managed by the (absent) window manager: hiding or destroying
    # a shown top-level window then takes milliseconds instead of seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1
    # Every Windows has C:\windows\system; Wine's 64-bit prefix lacks it.
    mkdir -p "$WINEPREFIX/drive_c/windows/system"
    wineserver -w
  fi
}

# The product opens the last audio capture device the system lists: on the
# card's own system that is the card's. Wine lists every registered device
# (the card's too) before the sound server's inputs, and drops and rewrites
# those inputs' entries at each enumeration, so no registration can put the
# card's device after them. Instead the inputs stay listed but no longer open:
# Wine's wave-in capture filter class leaves the prefix. Done at every start,
# since a prefix update registers it again.
orvix_close_sound_inputs() {
  wine reg delete 'HKCR\CLSID\{E30629D2-27E5-11CE-875D-00608CB78066}' /f \
    </dev/null >/dev/null 2>&1 || true
}

# orvix_register <folder>: regsvr32 every DLL that the build lists, from <folder>.
orvix_register() {
  local dir=$1 dll
  orvix_close_sound_inputs
  [ -f "$BUILD_DIR/register.list" ] || return 0
  while read -r dll; do
    [ -n "$dll" ] || continue
    # A prefix that is still settling after its creation has been seen to
    # refuse one registration: try once more before calling it a failure.
    local path
    path=$(wine winepath -w "$dir/$dll" </dev/null 2>/dev/null)
    wine regsvr32 /s "$path" </dev/null >/dev/null 2>&1 \
      || { sleep 1; wine regsvr32 /s "$path" </dev/null >/dev/null 2>&1; } \
      || log "regsvr32 $dll failed"
  done < "$BUILD_DIR/register.list"
}

# orvix_dist <folder>: the program folder, laid out as the product expects.
orvix_dist() {
  local dest=$1 src rel
  mkdir -p "$dest"
  [ -f "$BUILD_DIR/dist.list" ] || return 0
  while IFS='|' read -r src rel; do
    [ -n "$src" ] || continue
    mkdir -p "$dest/$(dirname "$rel")"
    cp -f "$src" "$dest/$rel"
  done < "$BUILD_DIR/dist.list"
}

# orvix_time_scale: how much slower the emulated i686 build runs here than the
# x86_64 one, from the same fixed work timed in each (testsupport's probe; the
# x86_64 one in its own prefix under wine64, in a subshell so that the i686
# environment stays as it is). Exported as ORVIX_TIME_SCALE, which the tests'
# time limits are multiplied by, and kept with both timings in
# build/i686/timescale.txt; ORVIX_EMULATED=1 lets arithmetic-heavy tests do
# less repeated work. The factor is held to 1 to 20, as the tests hold it
# (testsupport's TimeScale), so that what is printed is what they use.
ORVIX_TIME_SCALE_CAP=20
# orvix_least <numbers...>: the smallest, 0 for none.
orvix_least() { printf '%s\n' "$@" | awk 'NF && (m == "" || $1 < m) { m = $1 } END { print m + 0 }'; }
# orvix_scale_factor <ours> <theirs>: their quotient, held to 1..cap, one decimal.
orvix_scale_factor() {
  awk -v a="$1" -v b="$2" -v cap="$ORVIX_TIME_SCALE_CAP" \
    'BEGIN { s = (a > 0 && b > 0) ? a / b : 1; if (s < 1) s = 1; if (s > cap) s = cap; printf "%.1f", s }'
}
orvix_time_scale() {
  local ours="" theirs="" a b i
  # Three turns each, taken in turn, the best of each kept: a machine busy
  # with something else slows both alike.
  for i in 1 2 3; do
    a=$(wine "$BUILD_DIR/bin/timescale_probe.exe" </dev/null 2>/dev/null | tr -d '\r')
    b=$( orvix_arch x86_64 && orvix_prefix "$BUILD_DIR/wineprefix" \
         && wine "$BUILD_DIR/bin/timescale_probe.exe" </dev/null 2>/dev/null | tr -d '\r' )
    ours="$ours $a" theirs="$theirs $b"
  done
  ( orvix_arch x86_64 && export WINEPREFIX=$BUILD_DIR/wineprefix && wineserver -k >/dev/null 2>&1 )
  ours=$(orvix_least $ours) theirs=$(orvix_least $theirs)
  local scale
  scale=$(orvix_scale_factor "$ours" "$theirs")
  export ORVIX_TIME_SCALE=$scale ORVIX_EMULATED=1
  echo "$scale $ours $theirs" >"$BUILD_DIR/timescale.txt"
  log "i686 emulated: the same work took $ours ms against $theirs ms in the x86_64 build: time limits x$scale"
}

# orvix_bench_setup: what every scripts/bench-* needs before it measures: the
# build, the tests' prefix with the stand-ins registered, a private display,
# the sound server and a wineserver, the bin folder as the current one. When
# scripts/bench runs them it has done all of it once (ORVIX_BENCH_READY=1 in
# the environment) and each only changes to the bin folder.
orvix_bench_setup() {
  orvix_probe_32bit
  orvix_arch "$(orvix_main_arch)" || return 1
  if [ "${ORVIX_BENCH_READY:-}" != 1 ]; then
    log "measuring the $ARCH build"
    orvix_install_deps || return 1
    orvix_build || return 1
    orvix_prefix "$BUILD_DIR/wineprefix"
    trap orvix_services_stop EXIT
    orvix_services_start own
    orvix_register "$BUILD_DIR/bin" >/dev/null 2>&1
  fi
  cd "$BUILD_DIR/bin" || return 1
}

# The line every benchmark starts with: what it ran on.
orvix_machine_line() {
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg), $ARCH build under Wine"
}
