#!/usr/bin/env bash
# Runs one test with a home and XDG directories of its own, made fresh and removed after, so no
# test reads or writes the real user's settings, data or caches, and no run sees another's.
set -euo pipefail
home=$(mktemp -d "${TMPDIR:-/tmp}/zkalto-test-home.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$home/.local/share" "$home/.local/state" "$home/.cache" "$home/runtime"
chmod 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
       XDG_STATE_HOME="$home/.local/state" XDG_CACHE_HOME="$home/.cache" \
       XDG_RUNTIME_DIR="$home/runtime"
"$@"
