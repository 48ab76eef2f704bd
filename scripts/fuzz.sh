#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/fuzz_*.cpp) with clang and runs each for SECONDS (default 60),
# keeping a corpus per target under build/fuzz/corpus/. Exits non-zero when a target finds a crash;
# the input that caused it is kept under build/fuzz/artifacts/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang is not installed; the fuzz targets are skipped."
  exit 0
fi
"$root/scripts/deps.sh"

build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSELON_FUZZ=ON -DTESSELON_TESTS=OFF -DTESSELON_SANITIZE=OFF
cmake --build "$build" --target fuzz_targets --parallel "$(nproc)"

status=0
for source in "$root"/fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  # Seed inputs kept in the source tree start the corpus; new finds go to the build's corpus only.
  seeds=()
  if [ -d "$root/fuzz/seeds/$name" ]; then
    seeds=("$root/fuzz/seeds/$name")
  fi
  echo "== $name for $seconds s"
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}"; then
    echo "fuzz.sh: $name found a crash; the input is in $artifacts/" >&2
    status=1
  fi
done
exit $status
