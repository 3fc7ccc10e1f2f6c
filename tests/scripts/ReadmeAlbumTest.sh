#!/usr/bin/env bash
# Follows README.md's "Your own album" as a new user would, with the commands taken from the
# section itself (every line of its ```sh blocks), so that README and test cannot drift apart:
# installs the built tree into a private home folder, makes an album from a folder of photos with
# the installed nimbra-kit and runs it once under an X server of its own, where it sets the root
# window's picture. Then the installed nimbra, started without an album and without a display,
# must say how to make one.
#
# Usage: ReadmeAlbumTest.sh README.md BUILD_DIR MAKE_DEMO_PHOTOS
#   BUILD_DIR         the built tree to install (CTest passes its own: the test preset's)
#   MAKE_DEMO_PHOTOS  the build's MakeDemoPhotos, which paints the photos
set -euo pipefail

readme=$1
build=$2
make_photos=$3

fail() {
  echo "ReadmeAlbumTest: $*" >&2
  exit 1
}

# 1. The section's commands, in order.
mapfile -t lines < <(awk '
  /^## / { in_section = ($0 == "## Your own album"); next }
  in_section && /^```sh$/ { in_block = 1; next }
  in_block && /^```$/ { in_block = 0; next }
  in_section && in_block && NF { print }
' "$readme")

# What the test does with each line; the section must hold exactly these lines in this order, so a
# changed step fails here until the test is changed with it. "run" lines run as they stand, "once"
# runs the album once on the test's X server (with --wallpaper=x11 added, so it sets the root
# window's picture whatever desktop the environment names), "skip" lines are not run:
expected=(
  # the machine is set up: CI ran scripts/install-deps.sh before building
  'skip|bash scripts/install-deps.sh'
  # CTest runs in a tree that is already built (the test preset's); that tree is installed below
  'skip|cmake --preset release'
  'skip|cmake --build --preset release'
  'run|cmake --install build/release --prefix ~/.local'
  'run|export PATH="$HOME/.local/bin:$PATH"'
  'run|nimbra-kit album ~/Bilder/Urlaub --layout vier -o urlaub'
  'once|./urlaub --once'
  # the album in the tray, its autostart entry and the control of a running album: each of these
  # starts the album or talks to a running one, which the tests of the program itself cover
  'skip|./urlaub &'
  'skip|nimbra --quit'
  'skip|./urlaub -a'
  'skip|./urlaub -b'
)
if [[ ${#lines[@]} -ne ${#expected[@]} ]]; then
  printf 'ReadmeAlbumTest: the section has these command lines:\n' >&2
  printf '  %s\n' "${lines[@]}" >&2
  fail "expected ${#expected[@]} lines; change the README and this test together"
fi
script=$'set -euo pipefail\n'
for i in "${!expected[@]}"; do
  action=${expected[$i]%%|*}
  line=${expected[$i]#*|}
  [[ ${lines[$i]} == "$line" ]] ||
    fail "line $((i + 1)) of the section is '${lines[$i]}', the test knows '$line'"
  case $action in
    run) script+="${lines[$i]}"$'\n' ;;
    once) script+="${lines[$i]} --wallpaper=x11"$'\n' ;;
  esac
done

# 2. A new user's home: private folders, the photos in ~/Bilder/Urlaub, and a folder standing for
# the repository, whose build/release is the tree under test.
# Without symbolic links in it, as the programs see their own paths.
work=$(cd "$(mktemp -d)" && pwd -P)
xvfb=""
cleanup() {
  if [[ -n $xvfb ]]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
home=$work/home
repo=$work/repo
mkdir -p "$home/Bilder" "$repo/build" "$work/run"
chmod 700 "$work/run"
ln -s "$(cd "$build" && pwd)" "$repo/build/release"
"$make_photos" "$home/Bilder/Urlaub" > /dev/null
photos=$(find "$home/Bilder/Urlaub" -type f | wc -l)
[[ $photos -gt 0 ]] || fail "MakeDemoPhotos painted no photos"

# 3. An X server of our own; it tells its display number once it listens.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=":$(tr -d '[:space:]' < "$work/display")"

# The user's environment and nothing else of ours: no desktop is named, so only --wallpaper
# decides; the sanitizers' settings of the test run are kept.
session=(env -i "PATH=$PATH" "HOME=$home" "LANG=C.UTF-8"
         "XDG_CONFIG_HOME=$home/.config" "XDG_DATA_HOME=$home/.local/share"
         "XDG_RUNTIME_DIR=$work/run")
for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
  [[ -n ${!name:-} ]] && session+=("$name=${!name}")
done

# 4. The steps, in one shell as the user types them, on a session bus of their own.
marker=$work/marker
touch "$marker"
sleep 1
status=0
(cd "$repo" && timeout 300 "${session[@]}" "DISPLAY=$display" dbus-run-session -- \
   bash -c "$script") > "$work/out.log" 2>&1 || status=$?
if [[ $status -ne 0 ]]; then
  cat "$work/out.log" >&2
  fail "the README's steps failed with exit code $status"
fi

# What the install put where the README says.
for file in bin/nimbra bin/nimbra-kit share/applications/nimbra.desktop \
            share/icons/hicolor/scalable/apps/nimbra.svg share/doc/nimbra/README.md \
            share/doc/nimbra/layouts.md; do
  [[ -f $home/.local/$file ]] || fail "the install did not write ~/.local/$file"
done
for layout in einzel zwei vier mosaik rahmen stapel beschriftet buch; do
  [[ -f $home/.local/share/nimbra/layouts/$layout.json ]] ||
    fail "the install did not write the layout ~/.local/share/nimbra/layouts/$layout.json"
done
[[ -x $repo/urlaub ]] || fail "nimbra-kit album wrote no album program"
# The wallpaper file of the run, under the user's data folder.
wallpaper=$(find "$home/.local/share" -type f -newer "$marker" -name '*Hintergrundbild*' | head -n 1)
[[ -n $wallpaper && -s $wallpaper ]] || {
  cat "$work/out.log" >&2
  fail "the album wrote no wallpaper under ~/.local/share"
}

# 5. The installed nimbra without an album and without a display says how to make one.
status=0
(cd "$repo" && timeout 120 "${session[@]}" "PATH=$home/.local/bin:$PATH" nimbra) \
  > "$work/nimbra.log" 2>&1 || status=$?
[[ $status -eq 1 ]] || { cat "$work/nimbra.log" >&2; fail "nimbra without an album exited with $status"; }
for text in "nimbra-kit album ORDNER --layout vier -o ALBUM" \
            "Mehr dazu: $home/.local/share/doc/nimbra/README.md"; do
  grep -qF -- "$text" "$work/nimbra.log" || {
    cat "$work/nimbra.log" >&2
    fail "nimbra without an album did not say '$text'"
  }
done

echo "ReadmeAlbumTest: the README's steps installed Nimbra, made an album of $photos photos and set its page ($wallpaper)"
