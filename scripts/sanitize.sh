#!/usr/bin/env bash
# Sets up, builds the asan preset (Debug under AddressSanitizer and
# UndefinedBehaviorSanitizer, in build/asan) and runs every test under it, headless,
# with leak detection on (tests/sanitizers/lsan.supp names the libraries' own leaks).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cd "$root"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j "$(nproc)"
