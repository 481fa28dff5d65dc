#!/usr/bin/env bash
# Starts the editor from a build folder, with the sample project when one was generated.
set -euo pipefail
build=${1:-build}
sample="$build/sample/Sample.mqp"
if [ -f "$sample" ]; then
  exec "$build/bin/marquee" "$sample"
fi
exec "$build/bin/marquee"
