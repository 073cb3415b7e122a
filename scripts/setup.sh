#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, plus those of the groups named:
# "package" (making the Debian package), "fuzz" (clang and libFuzzer). Does nothing
# when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libqt6svg6
  libicu-dev libxxhash-dev libgtest-dev libgmock-dev libbenchmark-dev python3
  fonts-noto-cjk fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n
  desktop-file-utils appstream
  xvfb openbox x11-utils xdotool
  ibus ibus-anthy dbus-x11 python3-gi gir1.2-ibus-1.0 at-spi2-core
)
for group in "$@"; do
  case "$group" in
    package) packages+=(dpkg-dev) ;;
    fuzz) packages+=(clang libclang-rt-14-dev llvm) ;;
    *) echo "setup: unknown group $group" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
