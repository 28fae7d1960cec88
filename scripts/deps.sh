#!/usr/bin/env bash
# Installs the Debian packages a Kelvane build needs, quietly and only when missing.
#   scripts/deps.sh run    what building and running the program needs
#   scripts/deps.sh test   that, plus compilers, test, fuzz and benchmark tools
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  libjpeg62-turbo-dev libpng-dev zlib1g-dev
  libgtk-3-dev libpango1.0-dev libcairo2-dev libfontconfig-dev fonts-ipafont-gothic
  xvfb xauth x11-apps
)
test_packages=(
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xdotool imagemagick libpng-tools libsquish-dev
  libglm-dev libstb-dev libosmesa6-dev
)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >/tmp/kelvane-apt.log 2>&1; then
  echo "error: apt-get could not install: ${missing[*]} (see /tmp/kelvane-apt.log)" >&2
  tail -n 20 /tmp/kelvane-apt.log >&2
  exit 1
fi
