#!/usr/bin/env bash
# Installs what Nimbra needs, builds it and shows it on the bundled demo: the demo files are packed
# into a package and into an album-style executable, listed, and one file is extracted again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"

kit=build/release/tools/nimbra-kit/nimbra-kit
demo=build/demo
mkdir -p "$demo"
"$kit" pack -o "$demo/demo.pkg" data/demo/*
"$kit" list "$demo/demo.pkg"
"$kit" pack -o "$demo/demo-album" --exe "$kit" data/demo/*
"$kit" list "$demo/demo-album"
"$kit" extract "$demo/demo-album" Willkommen.txt -o "$demo/Willkommen.txt"
cmp data/demo/Willkommen.txt "$demo/Willkommen.txt"
echo "Demo package and album executable are in $demo/."
