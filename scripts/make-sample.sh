#!/usr/bin/env bash
# Makes the sample movie for `make run`: about 60 s of a 25 fps test picture with spoken
# sentences (espeak-ng), and the editor text of those sentences, some timed and some not.
#   scripts/make-sample.sh OUTDIR
set -euo pipefail
out=${1:?usage: make-sample.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sentences=(
  "Welcome to Marquee, the subtitle editor."
  "Load a movie, then type or paste your subtitles."
  "Press the space bar once for the in point."
  "Press it again for the out point."
  "The waveform shows where people speak."
  "Drag across the waveform to create a subtitle."
  "Drag an edge to trim it."
  "Double click a block to edit its text."
  "Overlapping timecodes are marked in the editor."
  "When you are done, export to the format you need."
)
# Where each sentence starts, in seconds.
starts=(2 8 14 20 26 32 38 43 48 53)
duration=60

timecode() {  # seconds (decimal) -> [HH:MM:SS.FF] at 25 fps
  awk -v t="$1" 'BEGIN {
    frames = int(t * 25 + 0.5); s = int(frames / 25); f = frames % 25;
    printf "[%02d:%02d:%02d.%02d]", int(s / 3600), int(s / 60) % 60, s % 60, f }'
}

inputs=()
filters=""
text="$out/Sample.txt"
: > "$text"
for i in "${!sentences[@]}"; do
  wav="$work/s$i.wav"
  espeak-ng -s 150 -w "$wav" "${sentences[$i]}"
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$wav")
  start=${starts[$i]}
  end=$(awk -v s="$start" -v l="$length" 'BEGIN { printf "%.2f", s + l + 0.2 }')
  inputs+=(-i "$wav")
  filters+="[$((i + 1)):a]aresample=48000,adelay=$((start * 1000))|$((start * 1000))[a$i];"
  # The first six sentences are timed; the rest are left for hand timing.
  if [ "$i" -lt 6 ]; then
    echo "$(timecode "$start")${sentences[$i]}$(timecode "$end")" >> "$text"
  else
    echo "${sentences[$i]}" >> "$text"
  fi
done
mix=""
for i in "${!sentences[@]}"; do mix+="[a$i]"; done
filters+="${mix}amix=inputs=${#sentences[@]}:normalize=0,apad,atrim=0:$duration,"
filters+="aformat=sample_rates=48000:channel_layouts=stereo[audio]"

ffmpeg -y -v error \
  -f lavfi -i "testsrc=size=640x360:rate=25:duration=$duration" \
  "${inputs[@]}" \
  -filter_complex "$filters" \
  -map 0:v -map "[audio]" -c:v libx264 -preset veryfast -pix_fmt yuv420p \
  -c:a aac -b:a 128k -shortest "$out/Sample.mp4"
echo "sample: $out/Sample.mp4 and $out/Sample.txt"
