#!/usr/bin/env bash
# Sets up, builds the libFuzzer targets (fuzz preset, clang, in build/fuzz) and runs
# each for SECONDS (60 by default) through CTest, from its seeds (fuzz/NAME/corpus) and
# regressions (fuzz/NAME/regressions); what it learns is kept in build/fuzz/corpus/NAME.
# A finding fails the run: its input is kept in build/fuzz/findings/NAME/ and printed.
# Once the fault is mended, the input goes into fuzz/NAME/regressions/, where the
# replay tests of every build keep checking it.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" fuzz
cd "$root"
cmake --preset fuzz -DQEL_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz -j "$(nproc)"
