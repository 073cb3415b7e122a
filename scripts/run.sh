#!/usr/bin/env bash
# Sets up, builds and starts the editor; with no file named, opens the sample document.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
if [ "$#" -eq 0 ]; then
  set -- "$root/samples/sample.txt"
fi
exec "$root/build/release/bin/QelEditor" "$@"
