#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UBSan (the asan
# preset, into ./build-asan) and runs every test once, one at a time. The
# preset's test environment holds the sanitizer options and the leak
# suppressions for Debian's libraries (tests/support/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset asan
cmake --build build-asan -j "$(nproc)"
ctest --preset asan --output-on-failure --timeout 600
