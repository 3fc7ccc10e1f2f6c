#!/usr/bin/env bash
# Installs what Nimbra needs, builds it (the build paints the demo's photos and makes them into an
# album program with nimbra-kit album) and runs the demo album once: where a desktop is found its
# first page becomes the wallpaper; otherwise the page is rendered at 1920 x 1080 and this script
# says where the picture was written.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"

album=build/release/data/demo/demo-album
if [[ ! -x "$album" ]]; then
  echo "demo.sh: the build made no demo album ($album)" >&2
  exit 1
fi
echo "The demo album is $album."

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  "$album" --once
  echo "The demo's first page is now the desktop wallpaper."
else
  marker="$(mktemp)"
  trap 'rm -f "$marker"' EXIT
  "$album" --once --work-area=1920x1080 --wallpaper=none
  data="${XDG_DATA_HOME:-$HOME/.local/share}"
  page="$(find "$data" -type f -newer "$marker" -name '*Hintergrundbild*' 2>/dev/null | head -n 1)"
  if [[ -z "$page" ]]; then
    echo "demo.sh: no desktop was found, and the album wrote no page under $data" >&2
    exit 1
  fi
  echo "No desktop was found, so no wallpaper was set; the rendered page is $page"
fi
