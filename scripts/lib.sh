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

# orvix_runs_32bit: whether this machine executes 32-bit x86 code, natively or
# through the emulator. Tried, not guessed from uname: some x86_64 kernels
# refuse 32-bit programs outright ("Exec format error"). The probe is a 95-byte
# i386 ELF that exits with 42.
orvix_runs_32bit() {
  if [ -z "${ORVIX_RUNS_32BIT:-}" ]; then
    local probe rc
    probe=$(mktemp "${TMPDIR:-/tmp}/orvix-elf32.XXXXXX") || return 1
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'\
'\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000'\
'\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000'\
'\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010'\
'\000\200\004\010\137\000\000\000\137\000\000\000\005\000\000\000'\
'\000\020\000\000\061\333\263\052\270\001\000\000\000\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null; rc=$?
    rm -f "$probe"
    ORVIX_RUNS_32BIT=no
    [ $rc = 42 ] && ORVIX_RUNS_32BIT=yes
  fi
  [ "$ORVIX_RUNS_32BIT" = yes ]
}

BINFMT=/proc/sys/fs/binfmt_misc
# The emulator's binfmt_misc entry for i386 programs, when one is enabled: the
# kernel asks binfmt_misc before its own loaders, so with it every 32-bit
# program runs emulated.
orvix_emulator_entry() {
  local entry
  for entry in "$BINFMT"/*; do
    [ -f "$entry" ] || continue
    grep -qx enabled "$entry" 2>/dev/null || continue
    grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null && { echo "$entry"; return 0; }
  done
  return 1
}

# orvix_32bit_mode: native, emulated or none.
orvix_32bit_mode() {
  if ! orvix_runs_32bit; then echo none
  elif orvix_emulator_entry >/dev/null; then echo emulated
  else echo native; fi
}

# orvix_setup_emulation: where 32-bit code does not run, user-mode emulation
# of i386 runs 32-bit Wine. Debian 12's own qemu-user (7.2) cannot: Wine's
# address-space reservations spin until it gives up; version 10 from
# bookworm-backports can. Its qemu-i386 is static and is registered for i386
# ELF programs with the usual magic and mask; F opens it once, now, so the
# handler works in every mount namespace. Each step only when missing.
QEMU_I386=/usr/bin/qemu-i386
orvix_setup_emulation() {
  orvix_runs_32bit && return 0
  if [ ! -w "$BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null \
      || { log "cannot mount binfmt_misc: no emulation of 32-bit programs"; return 1; }
  fi
  if [ -f "$BINFMT/qemu-i386" ]; then
    echo 1 >"$BINFMT/qemu-i386"
  else
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$QEMU_I386"':OCF' \
      >"$BINFMT/register" || { log "cannot register $QEMU_I386 for i386 programs"; return 1; }
  fi
  unset ORVIX_RUNS_32BIT
  orvix_runs_32bit || { log "32-bit programs still do not run under $QEMU_I386"; return 1; }
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
    emulated) echo "emulated by $("$QEMU_I386" --version 2>/dev/null | head -n 1 | sed 's/ (.*//')" ;;
    *) echo "not run: this machine cannot run 32-bit code" ;;
  esac
}

# The architectures whose suites run here: both where 32-bit code runs
# (natively or emulated), x86_64 alone elsewhere. ORVIX_ARCH=i686|x86_64
# chooses one.
orvix_run_archs() {
  if [ -n "${ORVIX_ARCH:-}" ]; then echo "$ORVIX_ARCH"
  elif orvix_runs_32bit; then echo "i686 x86_64"
  else echo x86_64; fi
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
  local other
  for other in "$ROOT"/build/*/winebin; do
    PATH=$(printf '%s' ":$PATH:" | sed "s|:$other:|:|g; s|^:||; s|:$||")
  done
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

# orvix_install_deps [i686]: the packages every build needs; with i686, also
# what runs the 32-bit suite: Wine's 32-bit half and its GStreamer plugins,
# and where 32-bit code does not run natively, the emulator (from
# bookworm-backports, whose sources entry is added when missing) registered
# for i386 programs.
ORVIX_BACKPORTS_LIST=/etc/apt/sources.list.d/orvix-bookworm-backports.sources
orvix_install_deps() {
  local missing="" want=$PACKAGES p backports=""
  if [ "${1:-}" = i686 ]; then
    want="$want $PACKAGES_32"
    orvix_runs_32bit || orvix_qemu_ok || backports=qemu-user
  fi
  for p in $want; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  if [ -n "$missing$backports" ]; then
    log "installing:$missing${backports:+ $backports (bookworm-backports)}"
    export DEBIAN_FRONTEND=noninteractive
    case "$missing" in *:i386*)
      dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386 ;;
    esac
    if [ -n "$backports" ] && ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        >"$ORVIX_BACKPORTS_LIST"
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
  if [ "${1:-}" = i686 ]; then
    orvix_setup_emulation || log "the i686 suite cannot run on this machine"
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
    numfile=$(mktemp)
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
# x86_64 one in its own prefix under wine64, in a subshell so that
# the i686 environment stays as it is). Exported as ORVIX_TIME_SCALE, which the
# tests' time limits are multiplied by, and kept with both timings in
# build/i686/timescale.txt; ORVIX_EMULATED=1 lets arithmetic-heavy tests do
# less repeated work.
# orvix_least <numbers...>: the smallest, 0 for none.
orvix_least() { printf '%s\n' "$@" | awk 'NF && (m == "" || $1 < m) { m = $1 } END { print m + 0 }'; }
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
  scale=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { s = (a > 0 && b > 0) ? a / b : 1; if (s < 1) s = 1; printf "%.1f", s }')
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
