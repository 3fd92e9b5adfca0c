#!/usr/bin/env bash
# Checks the walls between the libraries, from the includes of src/ alone:
# - an include goes down the layers only: files <- interfaces <- core <- lessons <- ui <- app,
#   and the platform's implementations are reached from app alone (everything else goes through
#   the interfaces); the fakes stand on the interfaces; the lesson command (lessontool) stands
#   beside app on lessons and below and the platform's implementations, never on ui or app;
# - widgets (QtWidgets) are used only in ui/, */window/, app/ and the platform's implementations;
# - between folders no include runs back up: the folders' graph has no loop.
# The layer of a file follows from its path, as src/CMakeLists.txt assigns files to libraries.
# Prints every include against the walls and fails when there is one.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)
cd "$src"

# A file's layer: files, interfaces, core, lessons, ui, app, platform or fakes.
layer_of() {
  case "$1" in
    files/*) echo files ;;
    platform/fakes/*) echo fakes ;;
    platform/real/*) echo platform ;;
    platform/*) echo interfaces ;;
    */window/* | ui/* | webview/*) echo ui ;;
    lessons/*) echo lessons ;;
    app/*) echo app ;;
    lessontool/*) echo lessontool ;;
    *) echo core ;;
  esac
}

rank_of() {
  case "$1" in
    files) echo 0 ;; interfaces) echo 1 ;; fakes | core) echo 2 ;; lessons) echo 3 ;;
    ui) echo 4 ;; app | platform | lessontool) echo 5 ;;
  esac
}

# May a file of layer $1 include one of layer $2?
allowed() {
  local from=$1 to=$2
  [ "$from" = "$to" ] && return 0
  # The lesson command is a program of its own beside app: no window is part of it.
  [ "$from" = lessontool ] && { [ "$to" = ui ] || [ "$to" = app ]; } && return 1
  case "$to" in
    platform) [ "$from" = app ] || [ "$from" = lessontool ] ;;
    fakes) return 1 ;;
    *)
      case "$from" in
        platform | fakes) [ "$to" = files ] || [ "$to" = interfaces ] ;;
        *) [ "$(rank_of "$to")" -le "$(rank_of "$from")" ] ;;
      esac
      ;;
  esac
}

widgets_allowed() {
  case "$1" in ui | app | platform) return 0 ;; *) return 1 ;; esac
}

# The class headers of QtWidgets, as <QWidget> names them.
qt_widgets=$(find /usr/include -path '*/qt6/QtWidgets/QWidget' -print -quit 2>/dev/null || true)
widget_headers=""
if [ -n "$qt_widgets" ]; then
  widget_headers=$(cd "$(dirname "$qt_widgets")" && ls | grep -E '^Q[A-Z]' | grep -v '\.h$' | tr '\n' ' ')
fi

faults=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
  from=$(layer_of "$file")
  folder=$(dirname "$file")
  while IFS= read -r included; do
    # Includes name a path under src/, or a file beside the includer.
    if [ -f "$folder/$included" ]; then
      target=$(realpath --relative-to=. "$folder/$included")
    elif [ -f "$included" ]; then
      target=$included
    else
      continue
    fi
    to=$(layer_of "$target")
    if ! allowed "$from" "$to"; then
      echo "$file ($from) includes $target ($to)"
      faults=$((faults + 1))
    fi
    [ "$(dirname "$target")" != "$folder" ] && echo "$folder $(dirname "$target")" >>"$edges"
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  if ! widgets_allowed "$from" && [ -n "$widget_headers" ]; then
    while IFS= read -r header; do
      case " $widget_headers " in
        *" $header "*)
          echo "$file ($from) uses widgets: <$header>"
          faults=$((faults + 1))
          ;;
      esac
    done < <(sed -n 's/^#include <\(Qt[A-Za-z]*\/\)\{0,1\}\(Q[A-Za-z]*\)>.*/\2/p' "$file")
  fi
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if ! sort -u "$edges" | tsort >/dev/null 2>"$edges.loop"; then
  echo "folders that include each other, in a loop: $(grep -v 'input contains a loop' \
    "$edges.loop" | sed 's/^tsort: //' | sort -u | tr '\n' ' ')"
  faults=$((faults + 1))
fi
rm -f "$edges.loop"
if [ "$faults" -gt 0 ]; then
  echo "check-layers: $faults includes go against the walls between the libraries" >&2
  exit 1
fi
echo "check-layers: every include goes down the layers"
