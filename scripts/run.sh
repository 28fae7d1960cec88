#!/usr/bin/env bash
# Builds Kelvane and runs it from the source tree (it reads graphics/ relative to
# the current directory). Without a desktop it runs on a virtual X display for a
# few seconds and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_BUILD_TESTS=OFF \
  -DKELVANE_BUILD_BENCH=OFF -DKELVANE_BUILD_FUZZ=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

program=build/release/app/kelvane
if [ ! -x "$program" ]; then
  echo "Kelvane's application is not built yet: only the platform layer and the support library exist."
  echo "Run scripts/test.sh to build them and run their tests."
  exit 0
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
echo "No desktop found (DISPLAY is not set): running Kelvane on a virtual X display for 10 seconds."
shot=build/kelvane-screenshot.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
  "'$program' & pid=\$!; sleep 8; xwd -root -silent > build/kelvane-screen.xwd; kill \$pid; wait \$pid || true"
if command -v convert >/dev/null; then convert build/kelvane-screen.xwd "$shot" && echo "Screenshot: $shot"; fi
