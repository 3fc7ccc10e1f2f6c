#!/usr/bin/env bash
# Checks that every library of src/ and every tool includes only what lies below it, as
# ARCHITECTURE.md layers them:
#   storage ← framework ← slideshow ← templates ← elements ← render ← album ← app
# raster is used from slideshow upward (and sits on framework); layouts sits beside album and
# player on render; platform and ui are used by app only (ui knows the album's settings interface);
# tools use album and below, never platform, ui or app. Qt headers are not for storage, framework,
# album or the tools, and Qt Widgets headers are for ui and app alone.
#
# Usage: check-includes.sh [ROOT] (default: the repository). Prints every offending file with the
# line and the include, and exits 1 when there is one.
set -euo pipefail

root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}

base="storage framework raster slideshow templates elements render"
declare -A allowed=(
  [storage]="storage"
  [framework]="storage framework"
  [raster]="storage framework raster"
  [slideshow]="storage framework raster slideshow"
  [templates]="storage framework raster slideshow templates"
  [elements]="storage framework raster slideshow templates elements"
  [render]="$base"
  [layouts]="$base layouts"
  [album]="$base album"
  [player]="$base player"
  [platform]="storage framework raster platform"
  [ui]="$base album ui"
  [app]="$base layouts album player platform ui app"
  [nimbra-kit]="$base layouts album nimbra-kit"
)
# Libraries that include no Qt header at all.
qt_free=" storage framework album nimbra-kit "
# Libraries that may include Qt Widgets.
widgets=" ui app "

# The class headers of Qt Widgets, when Qt's development files are installed here.
widget_headers=""
for folder in /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets; do
  if [[ -d $folder ]]; then
    widget_headers=" $(find "$folder" -maxdepth 1 -type f -name 'Q*' ! -name '*.h' -printf '%f ' \
      | tr -s ' ') QtWidgets "
    break
  fi
done

failures=0
report() {
  echo "$1"
  failures=$((failures + 1))
}

check_folder() {
  local library=$1 folder=$2
  [[ -d $folder ]] || return 0
  local ok=" ${allowed[$library]} "
  local file line include target
  while IFS=: read -r file line include; do
    if [[ $include =~ ^#include\ *\"([a-z0-9-]+)/ ]]; then
      target=${BASH_REMATCH[1]}
      # Only the project's own folders are layered; anything else is a local header.
      [[ -n ${allowed[$target]+set} ]] || continue
      if [[ $ok != *" $target "* ]]; then
        report "${file#"$root"/}:$line: $include ($library may include: ${allowed[$library]})"
      fi
    elif [[ $include =~ ^#include\ *\<(Qt[A-Za-z]*/)?(Q[A-Za-z0-9_]*)(\.h)?\> ]]; then
      target=${BASH_REMATCH[2]}
      if [[ $qt_free == *" $library "* ]]; then
        report "${file#"$root"/}:$line: $include ($library includes no Qt header)"
      elif [[ $widgets != *" $library "* && ( $widget_headers == *" $target "* ||
              ${BASH_REMATCH[1]} == QtWidgets/ ) ]]; then
        report "${file#"$root"/}:$line: $include (only ui and app include Qt Widgets)"
      fi
    fi
  done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' "$folder" \
             | sed -E 's/:[[:space:]]*#[[:space:]]*include[[:space:]]*/:#include /')
}

for folder in "$root"/src/*/; do
  library=$(basename "$folder")
  if [[ -z ${allowed[$library]+set} ]]; then
    report "src/$library: a library this check does not know; give it its place in the layering"
    continue
  fi
  check_folder "$library" "$folder"
done
check_folder nimbra-kit "$root/tools/nimbra-kit"

if ((failures > 0)); then
  echo "check-includes: $failures include(s) against the layering of ARCHITECTURE.md" >&2
  exit 1
fi
echo "check-includes: every library includes only what lies below it"
