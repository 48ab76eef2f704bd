#!/usr/bin/env bash
# Installs what is missing, builds Release and starts Tesselon on the sample plan (or on IMAGE).
# Without a display it runs a headless demonstration on the sample project instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELON_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"

image=${1:-"$build/resources/sample-plan.png"}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running the headless demonstration."
  exec "$build/bin/tesselon" --demo "$image"
fi
exec "$build/bin/tesselon" "$image"
