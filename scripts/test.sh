#!/usr/bin/env bash
# Builds zkalto and runs every test (X11 tests run under Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
cd "$top/build"
ctest --output-on-failure -j "$(nproc)"
