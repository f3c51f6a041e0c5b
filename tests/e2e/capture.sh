#!/usr/bin/env bash
# `orchard capture` end to end on the generated data pack: the MP4 has exactly the frames
# and the audio of the span, both starting at 0; the PNG frames are byte for byte what
# `orchard frame` renders at the same demo times (also at 59.94 fps and across the monk's
# exit), and supersampled ones are its larger frames made small; missing music gives a warning and a silent track of the right length; Ctrl+C
# leaves a playable file of the frames done, with the music cut to them.
set -u
orchard=$1
fixture=$2
cache=$3
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/data_pack.sh"

ensure_data_pack "$orchard" "$cache" || fail "orchard datagen failed"

work=$(mktemp -d)
pid=
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
demo_root "$work/root" "$cache" "$fixture"
# Temporary files of the captures go here, to be seen if any is left behind.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
musicless_root "$work/silent" "$work/root"

# probe FILE STREAM ENTRY: one value of ffprobe's report on the first stream of a kind.
probe() {
  ffprobe -v error -select_streams "$2:0" -count_frames -show_entries "stream=$3" \
    -of default=noprint_wrappers=1:nokey=1 "$1"
}
# near A B TOLERANCE: |A - B| <= TOLERANCE for decimal numbers.
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'; }
# One AAC frame at 48 kHz.
aac_frame=0.0214

# --- MP4: 2 s at 30 fps ----------------------------------------------------------------
"$orchard" capture --root "$work/root" -o "$work/two.mp4" --fps 30 --size 160x120 --to 2000 \
  2>"$work/err" || fail "capture to MP4 failed: $(cat "$work/err")"
[ "$(probe "$work/two.mp4" v nb_read_frames)" = 60 ] || fail "MP4 does not hold 60 frames"
[ "$(probe "$work/two.mp4" v codec_name,profile,pix_fmt,width,height,r_frame_rate | tr '\n' ' ')" = \
  "h264 High 160 120 yuv420p 30/1 " ] || fail "MP4 video: $(probe "$work/two.mp4" v codec_name,profile,pix_fmt,width,height,r_frame_rate)"
[ "$(probe "$work/two.mp4" a codec_name,sample_rate | tr '\n' ' ')" = "aac 48000 " ] ||
  fail "MP4 audio: $(probe "$work/two.mp4" a codec_name,sample_rate)"
near "$(probe "$work/two.mp4" v duration)" 2 0.001 || fail "video lasts $(probe "$work/two.mp4" v duration) s"
near "$(probe "$work/two.mp4" a duration)" 2 $aac_frame || fail "audio lasts $(probe "$work/two.mp4" a duration) s"
near "$(probe "$work/two.mp4" v start_time)" "$(probe "$work/two.mp4" a start_time)" 0.0001 ||
  fail "audio and video start apart"
grep -q '100%' "$work/err" || fail "no progress on stderr: $(cat "$work/err")"
[ -z "$(ls -A "$TMPDIR")" ] && ! ls "$work"/*.partial >/dev/null 2>&1 ||
  fail "temporary files were left behind: $(ls "$TMPDIR" "$work")"

# --- PNG folders against orchard frame ---------------------------------------------------
# compare_with_frame DIR RATE_NUM RATE_DEN FROM COUNT: frame k = orchard frame at FROM +
# floor(k * 1000 * DEN / NUM).
compare_with_frame() {
  local dir=$1 num=$2 den=$3 from=$4 count=$5 k times=()
  for ((k = 0; k < count; k++)); do times+=($((from + k * 1000 * den / num))); done
  mkdir -p "$work/single"
  "$orchard" frame --root "$work/root" --size 160x120 -o "$work/single/f.png" -- "${times[@]}" \
    2>/dev/null || fail "orchard frame failed"
  [ "$(ls "$dir"/frame_*.png | wc -l)" = "$count" ] || fail "$dir holds $(ls "$dir" | wc -l) files, not $count frames"
  for ((k = 0; k < count; k++)); do
    cmp -s "$dir/$(printf 'frame_%06d.png' "$k")" "$work/single/f-${times[k]}.png" ||
      fail "$dir frame $k differs from orchard frame at ${times[k]}"
  done
  rm -rf "$work/single"
}
"$orchard" capture --root "$work/root" -o "$work/pngs" --fps 30 --size 160x120 --to 2000 \
  2>"$work/err" || fail "capture to PNG failed: $(cat "$work/err")"
compare_with_frame "$work/pngs" 30 1 0 60
# music.wav: 2 s of the music at its own rate and channel count.
read -r channels rate < <(od -An -j22 -N6 -t u2 "$work/pngs/music.wav" | awk '{ print $1, $2 + 65536 * $3 }')
[ "$(stat -c %s "$work/pngs/music.wav")" = $((44 + 2 * rate * channels * 2)) ] ||
  fail "music.wav is not 2 s at $rate Hz with $channels channels"
# Across the cut from picture 1 to the exterior, where the monk leaves, at 59.94 fps.
"$orchard" capture --root "$work/root" -o "$work/ntsc" --fps 60000/1001 --size 160x120 \
  --from 56300 --to 57300 2>"$work/err" || fail "capture at 60000/1001 failed: $(cat "$work/err")"
compare_with_frame "$work/ntsc" 60000 1001 56300 60

# --- supersampling: rendered at twice the size, each 2 x 2 block averaged -----------------
"$orchard" capture --root "$work/root" -o "$work/ss" --fps 30 --size 80x60 --supersample 2 \
  --from 20000 --to 20100 2>"$work/err" || fail "supersampled capture failed: $(cat "$work/err")"
mkdir -p "$work/big"
"$orchard" frame --root "$work/root" --size 160x120 -o "$work/big/f.png" 20000 20033 20066 2>/dev/null ||
  fail "orchard frame failed"
for k in 0 1 2; do
  t=$((20000 + k * 1000 / 30))
  convert "$work/big/f-$t.png" -filter box -resize 80x60 "$work/big/small-$t.png"
  differ=$(compare -metric AE -fuzz 1% "$work/ss/frame_00000$k.png" "$work/big/small-$t.png" null: 2>&1)
  [ "$differ" = 0 ] || fail "supersampled frame $k: $differ pixels differ from the 160x120 frame made small"
done

# --- no music: a warning and silence of the right length ---------------------------------
"$orchard" capture --root "$work/silent" -o "$work/silent.mp4" --fps 30 --size 160x120 --to 2000 \
  2>"$work/err" || fail "capture without music failed: $(cat "$work/err")"
grep -q '^orchard capture: warning: .*silent' "$work/err" || fail "no warning about the music: $(cat "$work/err")"
near "$(probe "$work/silent.mp4" a duration)" 2 $aac_frame || fail "silent audio lasts $(probe "$work/silent.mp4" a duration) s"
ffmpeg -nostdin -hide_banner -i "$work/silent.mp4" -map 0:a -af volumedetect -f null - 2>&1 |
  grep -q 'max_volume: -91' || fail "the audio without music is not silent"

# --- Ctrl+C: the frames done, playable, with their music ----------------------------------
"$orchard" capture --root "$work/root" -o "$work/stopped.mp4" --fps 30 --size 160x120 \
  --from 12000 2>"$work/err" &
pid=$!
sleep 4
kill -INT "$pid"
wait "$pid"
code=$?
[ "$code" = 130 ] || fail "stopped capture exited with $code: $(cat "$work/err")"
frames=$(probe "$work/stopped.mp4" v nb_read_frames)
[ "$frames" -gt 0 ] && [ "$frames" -lt 8460 ] || fail "stopped MP4 holds '$frames' frames"
grep -q "stopped after $frames of 8460 frames" "$work/err" || fail "stop message: $(cat "$work/err")"
near "$(probe "$work/stopped.mp4" a duration)" "$(awk -v n="$frames" 'BEGIN { print n / 30 }')" $aac_frame ||
  fail "stopped MP4: audio $(probe "$work/stopped.mp4" a duration) s for $frames frames"
[ -z "$(ls -A "$TMPDIR")" ] && ! ls "$work"/*.partial >/dev/null 2>&1 ||
  fail "temporary files were left behind: $(ls "$TMPDIR" "$work")"

# --- usage errors ------------------------------------------------------------------------
for args in "--size 161x120" "--fps 0" "--fps 30/0" "--to 0" "--from 5 --to 5" "--supersample 9"; do
  # shellcheck disable=SC2086
  "$orchard" capture -o "$work/x.mp4" $args 2>/dev/null
  [ $? = 2 ] || fail "capture $args is not a usage error"
done
echo "orchard capture: ok"
