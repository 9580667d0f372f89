# Shared by scripts/test and scripts/run: packages, build, Wine prefix, and the
# display, sound server and wineserver the programs run against.
# Sourced, not run. Callers set ROOT to the repository's top folder.

BUILD_DIR=${BUILD_DIR:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}
# Wine's ANSI code page becomes 936 (GBK); no glibc locale is needed for that,
# so bash's complaint about the missing locale is silenced.
{ export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml,winemenubuilder.exe="}

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }

PACKAGES="g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth pulseaudio
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 googletest cmake
  imagemagick fonts-wine fonts-wqy-microhei"

orvix_install_deps() {
  local missing=""
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  log "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends $missing >/dev/null
}

orvix_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake" >/dev/null
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
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ORVIX_PIDS="$ORVIX_PIDS $!"
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
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
  # Start Wine's own services (services.exe, explorer.exe for the desktop) now,
  # detached from any caller's output: a test started first would hand them
  # its pipe, and ctest would wait for them to close it.
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

orvix_services_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  pulseaudio --kill >/dev/null 2>&1 || true
  for p in $ORVIX_PIDS; do kill "$p" 2>/dev/null || true; done
  ORVIX_PIDS=""
}

# orvix_prefix <dir>: a 32-bit Wine prefix, created once and kept.
orvix_prefix() {
  export WINEPREFIX=$1 WINEARCH=win32
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 </dev/null
    # Windows not managed by the (absent) window manager: hiding or destroying
    # a shown top-level window then takes milliseconds instead of seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1
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
    wine regsvr32 /s "$(winepath -w "$dir/$dll")" </dev/null >/dev/null 2>&1 \
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
