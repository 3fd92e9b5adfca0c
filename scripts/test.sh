#!/usr/bin/env bash
# Builds zkalto, checks the walls between its libraries and runs every test (X11 tests run under
# Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
# After the build, whose set-up installs the Qt headers the check reads.
"$top/scripts/check-layers.sh"
cd "$top/build"
ctest --output-on-failure -j "$(nproc)"
