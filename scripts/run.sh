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
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$build/bin/tesselon" --demo "$image" "$work/sample.ver"
  echo
  echo "The sample project through the command line: tesselon --dump sample.ver (first lines)"
  "$build/bin/tesselon" --dump "$work/sample.ver" | head -n 12
  echo
  echo "tesselon --export csv sample.ver results.csv --scale 750 5 m"
  "$build/bin/tesselon" --export csv "$work/sample.ver" "$work/results.csv" --scale 750 5 m
  cat "$work/results.csv"
  exit 0
fi
exec "$build/bin/tesselon" "$image"
