#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every bench/bench_*.cpp program, printing each figure
# with its time and as a ratio to its baselines measured in the same run.
#
# Pairing by name, within one program:
#   BM_Name/args                  the figure
#   BM_Name_Baseline<Tag>/args    a baseline for the figure with the same arguments
#   BM_Name_Baseline<Tag>         a baseline without arguments, for every BM_Name/args
# <Tag> may be empty (BM_Name_Baseline) and tells several baselines of one figure apart
# (BM_DrawDib_BaselineMemcpy). A ratio below 1 means the figure is faster than its baseline;
# it is given on wall time and, in brackets, on CPU time.
# Counters named *OverPicture, ratios a benchmark measures itself such as memory over the picture's
# bytes, are printed after the figure's ratios.
# Each figure is the median of five runs, so that a busy machine disturbs it less; extra
# arguments are passed to every program (e.g. --benchmark_filter=DrawDib or
# --benchmark_repetitions=1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

build=${TESSELON_BENCH_BUILD:-"$root/build/bench"}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELON_BENCH=ON -DTESSELON_TESTS=OFF

targets=()
for source in "$root"/bench/bench_*.cpp; do
  targets+=("$(basename "$source" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "No benchmarks in $root/bench."
  exit 0
fi
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$results/config"
mkdir -p "$XDG_CONFIG_HOME"

for target in "${targets[@]}"; do
  echo "== $target"
  "$build/bench/$target" --benchmark_format=json --benchmark_out="$results/$target.json" \
    --benchmark_out_format=json --benchmark_repetitions=5 "$@" > /dev/null
  /usr/bin/python3 - "$results/$target.json" <<'EOF'
import json
import re
import sys

with open(sys.argv[1]) as f:
    text = f.read()
# A filter that matches nothing in this program leaves its output empty.
if not text.strip():
    print("(no benchmark matched)")
    sys.exit(0)
everything = json.loads(text)["benchmarks"]
medians = [b for b in everything if b.get("run_type") == "aggregate" and b.get("aggregate_name") == "median"]
if medians:
    runs = [dict(b, name=b["run_name"]) for b in medians]
else:
    runs = [b for b in everything if b.get("run_type", "iteration") == "iteration"]

to_ns = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
times = {b["name"]: b["real_time"] * to_ns[b.get("time_unit", "ns")] for b in runs}
# CPU time of the measuring thread: steadier than wall time while other work shares the machine.
cpu = {b["name"]: b["cpu_time"] * to_ns[b.get("time_unit", "ns")] for b in runs}


def split(name):
    head, _, args = name.partition("/")
    return head, args


def shown(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3f} {unit}"
    return f"{ns:.1f} ns"


baseline = re.compile(r"^(?P<figure>.+)_Baseline(?P<tag>[A-Za-z0-9]*)$")
for b in runs:
    name = b["name"]
    head, args = split(name)
    if baseline.match(head):
        continue
    line = f"{name:<40} {shown(times[name]):>12}"
    ratios = []
    for other in runs:
        other_head, other_args = split(other["name"])
        m = baseline.match(other_head)
        if not m or m.group("figure") != head:
            continue
        if other_args == args or (other_args == "" and args != ""):
            ratios.append(f"{times[name] / times[other['name']]:.3f} x {other['name']}"
                          f" (CPU {cpu[name] / cpu[other['name']]:.3f})")
    # Ratios a benchmark measures itself (e.g. PeakOverPicture) follow as counters.
    counters = [f"{k}={b[k]:.3f}" for k in sorted(b) if k.endswith("OverPicture") and isinstance(b[k], (int, float))]
    print(line + ("   " + ", ".join(ratios) if ratios else "   (no baseline)")
          + ("   " + ", ".join(counters) if counters else ""))
EOF
done
