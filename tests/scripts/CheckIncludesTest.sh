#!/usr/bin/env bash
# The include check over a small tree of its own: a tree that keeps the layering passes; a lower
# library that includes a higher one, a tool that includes the shell, a Qt Widgets header below ui
# and a Qt header in the album are each reported with file, line and include, and fail the check.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{storage,raster,album,ui,app} "$tree"/tools/nimbra-kit

printf '#include "storage/Stream.h"\n#include <cstdint>\n' > "$tree/src/storage/Stream.h"
printf '#include "framework/Properties.h"\n#include <QImage>\n' > "$tree/src/raster/Painter.cpp"
printf '#include "render/Engine.h"\n#include "local.h"\n' > "$tree/src/album/Pages.cpp"
printf '#include "album/Settings.h"\n#include <QDialog>\n' > "$tree/src/ui/Frame.cpp"
printf '#include "ui/Frame.h"\n#include "platform/Setter.h"\n' > "$tree/src/app/Form.cpp"
printf '#include "album/Pages.h"\n#include "layouts/Layout.h"\n' > "$tree/tools/nimbra-kit/Kit.cpp"
if ! output=$(bash "$check" "$tree" 2>&1); then
  echo "a tree that keeps the layering was refused:"
  echo "$output"
  exit 1
fi

printf '#include "storage/Stream.h"\n  #  include "album/Pages.h"\n' > "$tree/src/storage/Stream.cpp"
printf '#include <QtWidgets/QMenu>\n' > "$tree/src/raster/Menu.cpp"
printf '#include <QString>\n' > "$tree/src/album/Text.h"
printf '#include "app/Form.h"\n' > "$tree/tools/nimbra-kit/Tray.cpp"
if output=$(bash "$check" "$tree" 2>&1); then
  echo "a tree against the layering passed:"
  echo "$output"
  exit 1
fi
expected=(
  'src/storage/Stream.cpp:2: #include "album/Pages.h"'
  'src/raster/Menu.cpp:1: #include <QtWidgets/QMenu>'
  'src/album/Text.h:1: #include <QString>'
  'tools/nimbra-kit/Tray.cpp:1: #include "app/Form.h"'
)
for line in "${expected[@]}"; do
  if ! grep -qF "$line" <<<"$output"; then
    echo "not reported: $line"
    echo "$output"
    exit 1
  fi
done
if [[ $(grep -c '^src/\|^tools/' <<<"$output") -ne ${#expected[@]} ]]; then
  echo "more than the offending includes were reported:"
  echo "$output"
  exit 1
fi
