#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (./build-fuzz, -DVANTREL_FUZZ=ON:
# the targets and the sources they exercise, nothing else) and fuzzes each
# for a short while from its committed corpus (a scratch copy, so the tree
# is left as it was). A finding (a sanitizer report, a broken rule, a crash,
# a hang, memory running away) fails the script; the input is left under
# build-fuzz/findings/<target>/ to be minimised and kept in fuzz/findings/.
# FUZZ_SECONDS sets the time per target (35 s).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
seconds="${FUZZ_SECONDS:-35}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVANTREL_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j "$(nproc)"

# target : extra options
targets=(
  "xlsreader:-dict=fuzz/xlsreader.dict -max_len=65536"
  "instrument:-max_len=2500"
  "meterrecord:-max_len=1024"
  "loggerrun:-max_len=4096"
  "simprofile:-max_len=8192"
  "reportdescriptor:-max_len=512"
  "measurementjson:-max_len=16384"
  "measurementcsv:-max_len=16384"
  "xlsxreader:-max_len=65536"
)
# Qt's JSON parser leaks on repeated keys (see tests/support/lsan.supp); the
# suppression needs full malloc stacks, which would slow the profile target
# to a crawl, so it runs without leak checks.
leaks_off=" simprofile measurementjson "
failed=0
for entry in "${targets[@]}"; do
  name="${entry%%:*}"
  options="${entry#*:}"
  work="build-fuzz/work/$name"
  findings="build-fuzz/findings/$name"
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  # Earlier findings run first, under the sanitizers they were found with.
  kept=()
  [ -d "fuzz/findings/$name" ] && kept=("fuzz/findings/$name")
  echo "== fuzz_$name for ${seconds}s"
  asan="${ASAN_OPTIONS:-}"
  [[ "$leaks_off" == *" $name "* ]] && asan="detect_leaks=0"
  # shellcheck disable=SC2086
  if ! ASAN_OPTIONS="$asan" "build-fuzz/fuzz/fuzz_$name" $options -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "fuzz/corpus/$name" "${kept[@]}" 2>"build-fuzz/fuzz_$name.log"; then
    echo "fuzz_$name found a fault:"
    tail -n 40 "build-fuzz/fuzz_$name.log"
    failed=1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|DONE' "build-fuzz/fuzz_$name.log" || true
done
exit "$failed"
