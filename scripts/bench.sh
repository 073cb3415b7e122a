#!/usr/bin/env bash
# Builds and runs the benchmarks (code page 932, settings files, search, main window,
# one document in four windows, the file list).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
for b in text_bench textmodel_bench settings_bench search_bench main_form_bench document_bench filelist_bench; do
  echo "== $b"
  QT_QPA_PLATFORM=offscreen "$root/build/release/bin/$b"
done
