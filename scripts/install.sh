#!/usr/bin/env bash
# Sets up, builds the release build, makes the Debian package from it and installs it
# (with what it depends on) through apt-get. --package-only stops after making it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$root/build/release"
rm -f qeleditor_*.deb
cpack -G DEB
deb="$(ls "$PWD"/qeleditor_*.deb)"
if [ "${1:-}" = "--package-only" ]; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --reinstall "$deb"
echo "install: QelEditor is installed; start it from the desktop's menu or as QelEditor"
