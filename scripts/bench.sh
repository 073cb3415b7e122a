#!/usr/bin/env bash
# Builds and runs the benchmarks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
for b in "$root"/build/release/bin/bench_*; do
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b"
done
