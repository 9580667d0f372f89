#!/usr/bin/env bash
# Records clips of every preset through the recorder filter (recorder_clip,
# under Wine) and checks the files from the Linux side with GStreamer:
# container, codec, size, frame rate, audio rate and duration as the
# discoverer reports them; the byte rate against the preset's; luma PSNR of
# the decoded pictures against the scaled source; the decoded tones; the
# A/V end times. Prints one line per file. Argument: the folder of the tools.
set -u
BIN=$1
cd "$BIN" || exit 1
OUT=test-output/recorder
rm -rf "$OUT"
mkdir -p "$OUT"
export GST_REGISTRY=$PWD/$OUT/gst-registry.bin
# Six-second clips; three under emulation (ORVIX_EMULATED), where the coding
# runs some ten times slower: still dozens of pictures of every kind, every
# check the same. Each clip's Wine process then waits mostly on the emulator,
# so more of them run at once.
SECS=6
JOBS=${RECORDER_JOBS:-3}
if [ "${ORVIX_EMULATED:-}" = 1 ]; then
  SECS=3
  JOBS=${RECORDER_JOBS:-6}
fi
export SECS

# check <name> <type> <bit/s> <rate code> <w> <h> <src w> <src h> <src fps> <min psnr|-> [options...]
check() {
  local name=$1 type=$2 rate=$3 code=$4 w=$5 h=$6 sw=$7 sh=$8 fps=$9 minpsnr=${10}
  shift 10
  local opts="$*" ext=mpg problems=""
  [ "$type" = 6 ] && ext=avi
  local file=$OUT/$name.$ext
  wine recorder_clip.exe record "$(echo "$file" | tr / '\\')" "$type" "$rate" "$code" "$w" "$h" \
    "$sw" "$sh" "$fps" "$SECS" $opts >"$OUT/$name.rec" 2>&1 || problems="$problems record-failed"
  local info
  info=$(timeout 60 gst-discoverer-1.0 -v "$file" 2>&1)
  echo "$info" >"$OUT/$name.disc"
  local dur
  dur=$(sed -n 's/^ *Duration: \([0-9]*\):\([0-9]*\):\([0-9.]*\).*/\1 \2 \3/p' <<<"$info" | head -1 |
    awk '{ printf "%.3f", $1 * 3600 + $2 * 60 + $3 }')
  [ -n "$dur" ] || dur=0
  local want_fps want_codec want_container audio_rate=44100 audio_bits=224000
  case $code in 3) want_fps=25/1 ;; 4) want_fps=30000/1001 ;; esac
  case $type in
    1|3|4) want_container="systemstream=(boolean)true, mpegversion=(int)1"; want_codec="video/mpeg, mpegversion=(int)1" ;;
    6) want_container="video/x-msvideo"; want_codec="image/jpeg"; audio_bits=1411200 ;;
    *) want_container="systemstream=(boolean)true, mpegversion=(int)2"; want_codec="video/mpeg, mpegversion=(int)2" ;;
  esac
  case $type in 7|8) audio_rate=48000 ;; esac
  case " $opts " in *" noaudio "*) audio_bits=0 ;; esac
  grep -q "container.*$want_container" <<<"$info" || problems="$problems container"
  grep -q "video #.*$want_codec" <<<"$info" || problems="$problems codec"
  grep -q "video #.*width=(int)$w, height=(int)$h" <<<"$info" || problems="$problems size"
  grep -q "video #.*framerate=(fraction)$want_fps" <<<"$info" || problems="$problems framerate"
  if [ "$audio_bits" != 0 ]; then
    grep -q "audio #.*rate=(int)$audio_rate" <<<"$info" || problems="$problems audio-rate"
  fi
  awk -v d="$dur" -v s="$SECS" 'BEGIN { exit !(d > s - 0.1 && d < s + 0.1) }' || problems="$problems duration"
  local size
  size=$(stat -c %s "$file" 2>/dev/null || echo 0)
  local kbs want
  kbs=$(awk -v s="$size" -v d="$dur" 'BEGIN { printf "%.1f", (d > 0 ? s / d / 1000 : 0) }')
  want=$(awk -v v="$rate" -v a="$audio_bits" 'BEGIN { printf "%.1f", (v + a) / 8 / 1000 }')
  awk -v k="$kbs" -v w="$want" 'BEGIN { exit !(k > 0.8 * w && k < 1.2 * w) }' || problems="$problems byte-rate"
  local psnr=- tones=-
  if [ "$minpsnr" != - ]; then
    timeout 120 gst-launch-1.0 -q filesrc location="$file" ! decodebin ! videoconvert ! \
      video/x-raw,format=I420 ! filesink location="$OUT/$name.yuv" >/dev/null 2>&1
    wine recorder_clip.exe reference "$(echo "$OUT/$name.ref" | tr / '\\')" "$sw" "$sh" "$w" "$h"
    local p
    p=$(wine recorder_clip.exe psnr "$(echo "$OUT/$name.ref" | tr / '\\')" \
      "$(echo "$OUT/$name.yuv" | tr / '\\')" "$w" "$h" "$sh")
    local frames
    frames=$(awk '{ print $2 }' <<<"$p")
    psnr=$(awk '{ print $4 }' <<<"$p")
    awk -v p="$psnr" -v m="$minpsnr" 'BEGIN { exit !(p >= m) }' || problems="$problems psnr"
    local vsec
    vsec=$(awk -v n="$frames" -v f="$want_fps" 'BEGIN { split(f, r, "/"); printf "%.3f", n * r[2] / r[1] }')
    if [ "$audio_bits" != 0 ]; then
      timeout 120 gst-launch-1.0 -q filesrc location="$file" ! decodebin ! audioconvert ! \
        audio/x-raw,format=S16LE,channels=2 ! filesink location="$OUT/$name.raw" >/dev/null 2>&1
      local t
      t=$(wine recorder_clip.exe tone "$(echo "$OUT/$name.raw" | tr / '\\')" "$audio_rate")
      tones=$(awk '{ printf "%s/%s %s/%s", $4, $7, $12, $15 }' <<<"$t")
      awk '{ exit !($4 >= 995 && $4 <= 1005 && $12 >= 1990 && $12 <= 2010 && $7 >= 30 && $15 >= 30) }' <<<"$t" ||
        problems="$problems tones"
      local asec
      asec=$(awk '{ print $2 }' <<<"$t")
      awk -v a="$asec" -v v="$vsec" 'BEGIN { d = a - v; if (d < 0) d = -d; exit !(d <= 0.05) }' ||
        problems="$problems av-end($asec/$vsec)"
    fi
    rm -f "$OUT/$name.yuv" "$OUT/$name.raw"
  fi
  local line
  line=$(printf '%-16s %8s kB/s (preset %8s)  %6ss  PSNR %6s  Hz/dB %-22s %s' "$name" "$kbs" "$want" \
    "$dur" "$psnr" "$tones" "${problems:-ok}")
  echo "$line" >"$OUT/$name.result"
}
export -f check
export OUT

{
  # Every type code at every quality, from the card's own 720x576 at 25 fps.
  echo "mpeg1-q1 1 1250000 4 320 240 720 576 25 24"
  echo "mpeg1-q2 1 2000000 4 320 240 720 576 25 -"
  echo "mpeg1-q3 1 4000000 4 320 240 720 576 25 30"
  echo "vcd-pal 4 1150000 3 352 288 720 576 25 24"
  echo "vcd-ntsc 3 1150000 4 352 240 720 576 25 24"
  echo "svcd-pal 10 2500000 3 480 576 720 576 25 24"
  echo "mpeg2-q1 2 1250000 4 640 480 720 576 25 -"
  echo "mpeg2-q2 2 2000000 4 640 480 720 576 25 -"
  echo "mpeg2-q3 2 4000000 4 640 480 720 576 25 24"
  echo "dvd-pal-q1 8 4000000 3 720 576 720 576 25 -"
  echo "dvd-pal-q2 8 6000000 3 720 576 720 576 25 -"
  echo "dvd-pal-q3 8 8000000 3 720 576 720 576 25 30"
  echo "dvd-ntsc-q1 7 4000000 4 720 480 720 576 25 -"
  echo "dvd-ntsc-q2 7 6000000 4 720 480 720 576 25 -"
  echo "dvd-ntsc-q3 7 8000000 4 720 480 720 576 25 30"
  echo "svcd-ntsc 9 2500000 4 480 480 720 576 25 24"
  echo "avi 6 54000000 3 640 480 720 576 25 30"
  # NTSC capture, the small capture size, noise off-station, no sound, OpenDML.
  echo "dvd-pal-ntsc-in 8 8000000 3 720 576 720 480 29.97 30"
  echo "vcd-ntsc-ntsc-in 3 1150000 4 352 240 720 480 29.97 24"
  echo "dvd-pal-small-in 8 8000000 3 720 576 320 240 25 30"
  echo "mpeg1-small-in 1 4000000 4 320 240 320 240 29.97 30"
  echo "avi-small-in 6 54000000 3 640 480 320 240 29.97 30"
  echo "vcd-pal-noise 4 1150000 3 352 288 720 576 25 - noise"
  echo "dvd-pal-mute 8 6000000 3 720 576 720 576 25 - noaudio"
  echo "avi-odml 6 54000000 3 640 480 720 576 25 30 odml=4000000"
} | xargs -P "$JOBS" -L 1 bash -c 'check "$@"' _

status=0
for f in "$OUT"/*.result; do
  cat "$f"
  grep -q ' ok$' "$f" || status=1
done
# The OpenDML file holds more than one RIFF and plays to its end.
riffs=$(grep -c AVIX "$OUT/avi-odml.avi" 2>/dev/null || echo 0)
[ "$riffs" -ge 1 ] || { echo "avi-odml: no AVIX RIFF"; status=1; }
exit $status
