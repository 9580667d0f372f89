# Sourced by the tests that run programs as a user would, each case in its own
# copy of the test prefix with its own wineserver (the programs change
# C:\windows and the registry). Each case runs as a job of its own process
# group, so that an interrupted run can stop a case together with everything
# the case started.
#
#   prefix_copy_begin <tag>   with WINEPREFIX the prepared test prefix: sets
#                             TEMPLATE and WORK, the folder of this run's copies
#   prefix_copy <dir>         a copy of the template in <dir>, its wineserver up
#   wine_p <args...>          wine in the copy $P, no input or error output
set -m

prefix_copy_begin() {
  local tag=$1 old p
  TEMPLATE=${WINEPREFIX:?the prepared test prefix}
  # The copies live beside the template: hard links need the same file system.
  # A run that was killed outright (no cleanup) leaves its copies behind; the
  # next run removes those whose run is gone.
  local base
  base=$(dirname "$TEMPLATE")
  for old in "$base/$tag".*/; do
    [ -d "$old" ] || continue
    old=${old%/}
    kill -0 "${old##*.}" 2>/dev/null && continue
    for p in "$old"/*/; do [ -d "$p" ] && WINEPREFIX=${p%/} wineserver -k >/dev/null 2>&1; done
    rm -rf "$old"
  done
  WORK=$base/$tag.$$
  rm -rf "$WORK" && mkdir -p "$WORK" || exit 1
  trap prefix_copy_cleanup EXIT
  trap 'exit 1' INT TERM HUP
}

prefix_copy_cleanup() {
  local pid p
  for pid in $(jobs -p); do kill -- -"$pid" 2>/dev/null; done
  wait 2>/dev/null
  for p in "$WORK"/*/; do [ -d "$p" ] && WINEPREFIX=${p%/} wineserver -k >/dev/null 2>&1; done
  rm -rf "$WORK"
}

# system32 is hard-linked (most of the size): a case must only add files there
# or replace one, never write through a link. The users' Temp folders hold the
# scratch files of the tests running meanwhile: left out.
prefix_copy() {
  P=$1
  mkdir -p "$P/drive_c/windows"
  local f
  for f in "$TEMPLATE"/* "$TEMPLATE"/.update-timestamp "$TEMPLATE"/drive_c/* \
           "$TEMPLATE"/drive_c/windows/*; do
    case ${f#"$TEMPLATE"/} in
      drive_c|drive_c/windows) ;;
      drive_c/windows/system32) cp -al "$f" "$P/drive_c/windows/" ;;
      drive_c/users) tar -C "$TEMPLATE/drive_c" --exclude='users/*/Temp/*' -cf - users \
                       | tar -C "$P/drive_c" -xf - ;;
      *) cp -a "$f" "$P/${f#"$TEMPLATE"/}" ;;
    esac
  done
  # Kept up between the case's Wine runs, but not forever should the case be
  # killed before it stops its server. wineserver returns once its daemon
  # listens, so the case's first Wine run never races it to start one.
  WINEPREFIX=$P wineserver -p10 >/dev/null 2>&1 </dev/null
}

wine_p() { WINEPREFIX=$P wine "$@" </dev/null 2>/dev/null; }
