#!/usr/bin/env bash
# One wallpaper change of an album program measured as a user sees it (the whole process, on an
# X server of 3840 x 2160) against tools that do part of the same work on the same photos:
#   djpeg          full decode of the four 6000 x 4000 photos, one after the other
#   feh --bg-fill  the four photos set as the root window's background, one after the other
#   vipsthumbnail  the four photos reduced to 3240 x 2160
# Every command runs RUNS times (default 5), in turn with the others, and the medians of wall time
# and CPU time (user + system) are printed with the ratios the change is judged by.
#
# Usage: bench/change-vs-peers.sh [--soak [CHANGES]]
#   --soak  instead, the album of the four big photos runs as it would for weeks (on a session bus
#           of its own), is asked for CHANGES changes (default 100) one after the other with
#           --next, and its resident memory after the 2nd and the last change is printed.
# Environment: BIN (default build/release/bin; built with the release preset when missing),
#   WORK (default /tmp/nimbra-change-bench: photos and albums are kept there between runs),
#   RUNS, MANY (photos of the big album, default 10000).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${BIN:-$root/build/release/bin}"
work="${WORK:-/tmp/nimbra-change-bench}"
runs="${RUNS:-5}"
many="${MANY:-10000}"
mode=compare
soakChanges=100
if [[ "${1:-}" == "--soak" ]]; then
  mode=soak
  soakChanges="${2:-100}"
fi

# --- what the measurement needs --------------------------------------------------------------------
need=()
command -v djpeg >/dev/null || need+=(libjpeg-turbo-progs)
command -v feh >/dev/null || need+=(feh)
command -v vipsthumbnail >/dev/null || need+=(libvips-tools)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xprop >/dev/null || need+=(x11-utils)
command -v dbus-run-session >/dev/null || need+=(dbus)
[[ -x /usr/bin/time ]] || need+=(time)
command -v python3 >/dev/null || need+=(python3)
if ((${#need[@]})); then
  echo "installing ${need[*]}" >&2
  apt_get=(apt-get)
  [[ $(id -u) -ne 0 ]] && apt_get=(sudo apt-get)
  DEBIAN_FRONTEND=noninteractive "${apt_get[@]}" install -y --no-install-recommends "${need[@]}" >&2
fi
if [[ ! -x "$bin/nimbra-kit" || ! -x "$bin/nimbra" ]]; then
  (cd "$root" && cmake --preset release >&2 && cmake --build --preset release -j2 \
    --target nimbra nimbra-kit >&2)
fi

mkdir -p "$work"
cd "$work"

# --- photos: made by bench/photo.sh
source "$root/bench/photo.sh"

mkdir -p big/fotos small/fotos many/fotos
for i in 1 2 3 4; do
  photo "big/fotos/foto$i.jpg" 6000 4000 "$i" 1.9
  photo "small/fotos/foto$i.jpg" 640 480 "$((i + 10))" 2.2
done
# The big album repeats the four small photos under their own names; the page drawn is like the
# small album's, so the difference is what the number of objects costs.
if [[ ! -f many/.complete ]]; then
  for ((i = 0; i < many; ++i)); do
    ln -f "small/fotos/foto$((i % 4 + 1)).jpg" "$(printf 'many/fotos/foto%05d.jpg' "$i")"
  done
  touch many/.complete
fi
# An album carries the program it was made with: made again whenever that program is another.
# The photos go in as they are: the change is measured on 6000 x 4000 photos, not on the copies an
# album would reduce them to.
builtBy="$(realpath "$bin/nimbra") $(stat -c %Y "$bin/nimbra") originals"
for album in big small many; do
  if [[ ! -x "$album/album" || "$(cat "$album/built-by" 2>/dev/null)" != "$builtBy" ]]; then
    "$bin/nimbra-kit" album "$album/fotos" --layout vier --mode start --keep-originals \
      -o "$album/album" >&2
    echo "$builtBy" >"$album/built-by"
  fi
done
big_photos=(big/fotos/foto{1,2,3,4}.jpg)
echo "photos: $(stat -c %s "${big_photos[@]}" | awk '{s+=$1} END {printf "%.1f", s/4/1048576}') MiB" \
  "on average (6000 x 4000, q90); album sizes:" \
  "$(du -h big/album small/album many/album | awk '{printf "%s %s  ", $2, $1}')"

# --- an X server of its own, and the album's settings kept apart from the user's ---------------
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
display=:$((60 + RANDOM % 30))
Xvfb "$display" -screen 0 3840x2160x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY="$display"
# Ready when it answers; after the albums were written, its start can take seconds.
ready=0
for _ in $(seq 300); do
  xprop -display "$display" -root >/dev/null 2>&1 && { ready=1; break; }
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
((ready)) || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
unset WAYLAND_DISPLAY

if [[ "$mode" == soak ]]; then
  # The root pixmap is new at every change: that is how the end of one is seen from outside.
  export soakChanges
  dbus-run-session -- bash -c '
    rootPixmap() { xprop -root _XROOTPMAP_ID 2>/dev/null | awk "{print \$NF}"; }
    waitForChange() {  # waitForChange PREVIOUS
      for _ in $(seq 1200); do
        [[ "$(rootPixmap)" != "$1" ]] && return
        kill -0 "$album" 2>/dev/null || { echo "the album ended" >&2; exit 1; }
        sleep 0.05
      done
      echo "no change within a minute" >&2
      exit 1
    }
    resident() { awk "/^VmRSS/ {printf \"%.1f\", \$2 / 1024}" "/proc/$album/status"; }
    before="$(rootPixmap)"
    big/album --wallpaper=x11 >/dev/null 2>&1 &
    album=$!
    waitForChange "$before"
    for ((change = 2; change <= soakChanges; ++change)); do
      before="$(rootPixmap)"
      big/album --next >/dev/null
      waitForChange "$before"
      # The pixmap is set before the change has quite ended; let it finish.
      sleep 0.3
      ((change == 2)) && second="$(resident)"
    done
    last="$(resident)"
    big/album --quit >/dev/null || kill "$album"
    wait "$album" || true
    echo "resident memory of the album after change 2: $second MiB, after change $soakChanges: $last MiB" \
      "(difference $(awk -v a="$last" -v b="$second" "BEGIN {printf \"%.1f\", a - b}") MiB; goal <= 5)"
  '
  exit
fi

# --- the runs ---------------------------------------------------------------------------------------
declare -A results
# measure NAME COMMAND...: appends "wall cpu peakKiB" of one run.
measure() {
  local name=$1
  shift
  python3 "$root/bench/timed-run.py" "$work/time.out" "$@" >/dev/null 2>"$work/err.out" || {
    echo "failed: $* (see $work/err.out)" >&2
    cat "$work/err.out" >&2
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb had ended:" >&2; cat "$work/xvfb.log" >&2; }
    exit 1
  }
  results[$name]+="$(awk '{printf "%.4f %.4f %d", $1, $2, $3}' "$work/time.out")"$'\n'
}
export big_photos_list="${big_photos[*]}"

for ((run = 1; run <= runs; ++run)); do
  measure change big/album --once --wallpaper=x11
  measure djpeg bash -c 'for f in $big_photos_list; do djpeg -outfile /dev/null "$f"; done'
  measure feh bash -c 'for f in $big_photos_list; do feh --no-fehbg --bg-fill "$f"; done'
  measure vips vipsthumbnail -s 3240x2160 -o "$work/thumb-%s.jpg" "${big_photos[@]}"
  measure small small/album --once --wallpaper=x11
  measure fehsmall feh --no-fehbg --bg-fill small/fotos/foto1.jpg
  measure many many/album --once --wallpaper=x11
done

# median NAME COLUMN (1 wall, 2 cpu, 3 peak KiB)
median() {
  printf '%s' "${results[$1]}" | awk -v c="$2" '{print $c}' | sort -g |
    awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
maximum() { printf '%s' "${results[$1]}" | awk -v c="$2" '$c > m {m = $c} END {print m}'; }

echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores, $runs runs each"
printf '%-44s %9s %9s %10s\n' "median of $runs runs" "wall s" "CPU s" "peak MiB"
label() {
  case $1 in
    change) echo "album, four 6000x4000 photos (--once x11)" ;;
    djpeg) echo "djpeg, the four photos" ;;
    feh) echo "feh --bg-fill, the four photos" ;;
    vips) echo "vipsthumbnail -s 3240x2160, the four" ;;
    small) echo "album, four 640x480 photos" ;;
    fehsmall) echo "feh --bg-fill, one 640x480 photo" ;;
    many) echo "album, $many 640x480 photos" ;;
  esac
}
for name in change djpeg feh vips small fehsmall many; do
  printf '%-44s %9.3f %9.3f %10.1f\n' "$(label $name)" "$(median $name 1)" "$(median $name 2)" \
    "$(awk -v k="$(median $name 3)" 'BEGIN {print k / 1024}')"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}'; }
change=$(median change 1)
echo
printf '%-66s %8s %8s\n' "ratio" "now" "goal"
printf '%-66s %8s %8s\n' "change / djpeg full decode of the four (wall)" \
  "$(ratio "$change" "$(median djpeg 1)")" "<= 2.0"
printf '%-66s %8s %8s\n' "change / feh --bg-fill of the four (wall)" \
  "$(ratio "$change" "$(median feh 1)")" "<= 0.25"
printf '%-66s %8s %8s\n' "change / vipsthumbnail -s 3240x2160 of the four (wall)" \
  "$(ratio "$change" "$(median vips 1)")" "<= 0.6"
# The change runs at idle priority: on a busy machine its wall time is mostly waiting for the
# processor, so the same ratios in CPU time say what it costs where the wall times cannot.
cpu=$(median change 2)
for peer in djpeg feh vips; do
  printf '%-66s %8s %8s\n' "  the same in CPU time, against $peer" "$(ratio "$cpu" "$(median $peer 2)")" ""
done
printf '%-66s %8s %8s\n' "peak memory of the change, MiB (median; largest run)" \
  "$(awk -v k="$(median change 3)" -v m="$(maximum change 3)" \
    'BEGIN {printf "%.0f;%.0f", k / 1024, m / 1024}')" "<= 100"
printf '%-66s %8s %8s\n' "fixed cost: four 640x480 change CPU / feh of one (CPU)" \
  "$(ratio "$(median small 2)" "$(median fehsmall 2)")" "<= 1.0"
printf '%-66s %8s %8s\n' "$many-photo album: change CPU minus four-photo album's (s)" \
  "$(awk -v a="$(median many 2)" -v b="$(median small 2)" 'BEGIN {printf "%.3f", a - b}')" \
  "<= 0.05"
