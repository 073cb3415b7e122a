#!/usr/bin/env bash
# Builds and runs the benchmarks (code page 932, settings files, search, main window,
# one document in four windows, the file list, start-up time beside a minimal Qt editor).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
for b in text_bench textmodel_bench document_load_bench recovery_bench settings_bench search_bench main_window_bench document_bench long_line_bench filelist_bench; do
  echo "== $b"
  QT_QPA_PLATFORM=offscreen "$root/build/release/bin/$b"
done
# Start to a shown window beside a minimal Qt editor, on an X display of its own; then
# with a document of 1 MB named on the command line, and with one of 100 MB (to idle).
echo "== startup_bench"
xvfb-run -a "$root/build/release/bin/startup_bench" 20
documents="$(mktemp -d)"
trap 'rm -rf "$documents"' EXIT
for mb in 1 100; do
  QT_QPA_PLATFORM=offscreen "$root/build/release/bin/document_bench" --write "$documents/doc$mb.txt" $mb
  xvfb-run -a "$root/build/release/bin/startup_bench" $((mb == 1 ? 20 : 5)) "$documents/doc$mb.txt"
done
