#!/usr/bin/env bash
# Runs each fuzz target for a bounded time from its seed corpus; any finding fails.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $name (${seconds}s)"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 "$work" > "$build/$name.log" 2>&1; then
    echo "finding in $name; see $build/$name.log"
    tail -n 40 "$build/$name.log"
    status=1
  fi
  rm -rf "$work"
done
exit $status
