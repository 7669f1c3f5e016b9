#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against the built-in
# simulated instrument (default: a Logger; pass meter, logger or a profile file).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
exec ./vantrel --simulate "${1:-logger}"
