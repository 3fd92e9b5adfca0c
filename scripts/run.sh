#!/usr/bin/env bash
# Builds zkalto if needed and starts it from its program directory, where its files lie; its
# arguments (such as --screen NAME) go to the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
cd "$top/build/bin"
exec ./zkalto "$@"
