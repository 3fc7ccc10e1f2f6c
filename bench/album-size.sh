#!/usr/bin/env bash
# The size of an album of 22 camera photos (6000 x 4000, JPEG quality 90), made by nimbra-kit album
# as it is (photos reduced to 3840 x 2160, the program without its debug information) and with
# --keep-originals, beside the photos' own size and the program's debug information that albums
# no longer carry.
#
# Usage: bench/album-size.sh
# Environment: BIN (default build/release/bin; built with the release preset when missing),
#   WORK (default /tmp/nimbra-album-size-bench: the photos are kept there between runs).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${BIN:-$root/build/release/bin}"
work="${WORK:-/tmp/nimbra-album-size-bench}"
count=22

command -v vips >/dev/null || {
  echo "installing libvips-tools" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends libvips-tools >&2
}
if [[ ! -x "$bin/nimbra-kit" || ! -x "$bin/nimbra" ]]; then
  (cd "$root" && cmake --preset release >&2 && cmake --build --preset release -j2 \
    --target nimbra nimbra-kit >&2)
fi

mkdir -p "$work/fotos"
source "$root/bench/photo.sh"
for ((i = 1; i <= count; ++i)); do
  photo "$work/fotos/foto$i.jpg" 6000 4000 "$i" 1.9
done

"$bin/nimbra-kit" album "$work/fotos" --layout vier -o "$work/compact" >&2
"$bin/nimbra-kit" album "$work/fotos" --layout vier --keep-originals -o "$work/originals" >&2
mib() { stat -c %s "$@" | awk '{s += $1} END {printf "%.1f MiB", s / 1048576}'; }
echo "photos: $(mib "$work"/fotos/*.jpg) ($count at 6000 x 4000, q90)"
echo "program: $(mib "$bin/nimbra"), its debug information beside it: $(mib "$bin/nimbra.debug")"
echo "album: $(mib "$work/compact"); with --keep-originals: $(mib "$work/originals")"
debugSections="$(readelf -S "$work/compact" | grep -c ' \.debug_' || true)"
echo "debug sections in the album's program: $debugSections"
