#!/usr/bin/env bash
# Builds a Release tree (build-release) and runs every benchmark program in
# bench/. Each ends with lines of the form
#     bench <name>: measured <value> <unit>, bound <value> <unit>, ratio <r>
# where the bound is the least the work can cost (frames counted, a direct
# library call), or with "target" (a goal), "floor" (the simulator's own) or
# "reference" (a comparison, not a goal) in its place; they are also
# gathered at the end. Best run on a machine with nothing else
# to do: the figures are times.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_BENCH=ON -DVANTREL_BUILD_TESTS=OFF >/dev/null
cmake --build build-release --target bench_logger bench_meter bench_export bench_startup bench_reopen \
  bench_plot bench_report bench_archive bench_curvewindow bench_files bench_idle xlsx_direct bare_window page_window \
  vantrel
export QT_QPA_PLATFORM=offscreen
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for program in build-release/bench/bench_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" 2>/dev/null | tee -a "$results"
done
echo "== all figures"
grep '^bench ' "$results"
