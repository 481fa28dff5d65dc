#!/usr/bin/env bash
# Starts the real window under Xvfb and saves a screenshot of it.
set -euo pipefail
build=${1:-build}
out="$build/screenshots"
mkdir -p "$out"
settings=$(mktemp -d)
export MARQUEE_SETTINGS_FILE="$settings/settings.json"
args=()
[ -f "$build/sample/Sample.mqp" ] && args+=("$build/sample/Sample.mqp")
xvfb-run -a -s "-screen 0 1440x900x24" bash -c '
  "$0" "${@:2}" &
  app=$!
  sleep "${MARQUEE_SCREENSHOT_DELAY:-4}"
  import -window root "$1" 2>/dev/null || xwd -root -silent | convert xwd:- "$1"
  kill $app
' "$build/bin/marquee" "$out/main-window.png" "${args[@]}"
rm -rf "$settings"
echo "screenshot: $out/main-window.png"
