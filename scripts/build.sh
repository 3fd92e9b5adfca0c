#!/usr/bin/env bash
# Configures and builds zkalto into build/ (the program and its files land in build/bin).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-dependencies.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j "$(nproc)"
