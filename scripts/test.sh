#!/usr/bin/env bash
# Installs what is missing, builds (Debug, warnings as errors) and runs every test through CTest.
# TESSELON_SANITIZE=1 runs the same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

sanitize=${TESSELON_SANITIZE:-0}
build="$root/build/debug"
cmake_args=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSELON_WERROR=ON -DTESSELON_TESTS=ON)
if [ "$sanitize" = "1" ]; then
  build="$root/build/sanitize"
  cmake_args+=(-DTESSELON_SANITIZE=ON)
fi

cmake -S "$root" -B "$build" "${cmake_args[@]}"
cmake --build "$build" --parallel "$(nproc)"

config_home=$(mktemp -d)
trap 'rm -rf "$config_home"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$config_home"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# Qt's own font and platform start-up allocations are not ours to fix.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
