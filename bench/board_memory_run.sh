#!/usr/bin/env bash
# Resident memory of the real program while a teacher writes 99 pages at 1920 x 1080: starts a
# virtual X display of that size and build/bin/zkalto on it, opens the board from the toolbar,
# writes a few pen strokes on each page and turns right to a new page, up to page 99, then turns
# back through every page. Prints the resident memory of the program along the way.
# Needs Xvfb and xdotool.
#
#   bench/board_memory_run.sh [build directory]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
width=1920
height=1080

exec 3< <(Xvfb -displayfd 1 -screen 0 ${width}x${height}x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r display <&3
export DISPLAY=:$display
cleanup() {
    kill "${program:-}" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

cd "$build/bin"
./zkalto >/dev/null 2>&1 &
program=$!
sleep 3
resident() { awk '/VmRSS/ { printf "%.1f MiB", $2 / 1024 }' "/proc/$program/status"; }
echo "toolbar only: $(resident)"

# The toolbar's first button opens the board; the board's strip holds the page buttons at its
# right end.
strip=$((width - 2 - 722))
xdotool mousemove $((width - 436 + 19)) 18 click 1
sleep 2
echo "board open, page 1: $(resident)"

stroke() {
    local x=$1 y=$2 moves=()
    for step in $(seq 1 40); do
        x=$((x + RANDOM % 15 - 4))
        y=$((y + RANDOM % 19 - 9))
        moves+=(mousemove "$x" "$y")
    done
    xdotool mousemove "$1" "$2" mousedown 1 "${moves[@]}" mouseup 1
}

for page in $(seq 1 99); do
    for s in 1 2 3 4 5; do
        stroke $((200 + RANDOM % 1400)) $((100 + RANDOM % 850))
    done
    if [[ $page -lt 99 ]]; then
        xdotool mousemove $((strip + 592)) 19 click 1
    fi
    if ((page % 20 == 0)); then
        sleep 0.5
        echo "page $page: $(resident)"
    fi
done
sleep 1
echo "page 99 written: $(resident)"
for page in $(seq 98 -1 1); do
    xdotool mousemove $((strip + 531)) 19 click 1
done
sleep 1
echo "turned back to page 1: $(resident)"
awk '/VmHWM/ { printf "peak: %.1f MiB\n", $2 / 1024 }' "/proc/$program/status"
