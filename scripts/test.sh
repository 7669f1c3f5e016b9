#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest
# (VANTREL_TEST_REPEAT=N runs the suite up to N times, stopping at a failure).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300 \
  --repeat until-fail:"${VANTREL_TEST_REPEAT:-1}"
