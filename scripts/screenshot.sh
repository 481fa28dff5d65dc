#!/usr/bin/env bash
# Starts the real window under Xvfb and saves a screenshot of it.
set -euo pipefail
build=${1:-build}
out="$build/screenshots"
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A scratch settings file past the first-launch question, and a scratch documents folder so that
# the autosave never writes into the real one.
export MARQUEE_SETTINGS_FILE="$scratch/settings.json"
echo '{"firstLaunch": "NO", "isFinalCutPro7ToolBar": false}' > "$MARQUEE_SETTINGS_FILE"
export MARQUEE_DOCUMENTS_DIR="$scratch/Documents"
export XDG_CACHE_HOME="$scratch/cache"
# A still frame a few seconds into the sample movie, with its subtitle over it; no sound.
export MARQUEE_SCREENSHOT_SEEK=3
export MARQUEE_AUDIO_OUTPUT=null
args=()
[ -f "$build/sample/Sample.mqp" ] && args+=("$build/sample/Sample.mqp")
xvfb-run -a -s "-screen 0 1440x900x24" bash -c '
  "$0" "${@:2}" &
  app=$!
  shown=no
  for _ in $(seq 1 300); do
    if xwininfo -root -tree 2>/dev/null | grep -q "Untitle - Marquee\|- Marquee "; then shown=yes; break; fi
    sleep 0.2
  done
  if [ $shown = no ]; then
    echo "screenshot: the window did not appear" >&2
    kill $app 2>/dev/null || true
    exit 1
  fi
  sleep "${MARQUEE_SCREENSHOT_DELAY:-2}"
  import -window root "$1"
  kill $app
  wait $app 2>/dev/null || true
' "$build/bin/marquee" "$out/main-window.png" "${args[@]}"
echo "screenshot: $out/main-window.png"
