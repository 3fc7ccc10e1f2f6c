#!/usr/bin/env bash
# nimbra-kit brings nothing of the desktop along: ldd lists no Qt Widgets, and the program itself
# needs no X11, XCB, D-Bus or GIO library. Shapes and text are drawn with Qt Gui, which on Debian
# loads X11 and D-Bus itself; those may appear in ldd's list only as libraries that Qt Gui's own
# list holds too.
set -euo pipefail
kit=$1
listed=$(ldd "$kit")
needed=$(objdump -p "$kit" | awk '$1 == "NEEDED" { print $2 }')
failed=0
fail() {
  echo "$1"
  failed=1
}

desktop='libX11|libX11-xcb|libxcb|libdbus-1|libQt6DBus|libgio-2.0|libQt6Widgets'
if grep -q 'libQt6Widgets' <<<"$listed"; then fail "nimbra-kit loads Qt Widgets"; fi
while read -r library; do
  [[ -n $library ]] && fail "nimbra-kit needs $library itself"
done < <(grep -E "^($desktop)\\." <<<"$needed" || true)

gui=$(awk '/libQt6Gui\.so/ { print $3 }' <<<"$listed")
gui_listed=$([[ -n $gui ]] && ldd "$gui" || true)
while read -r library; do
  [[ -z $library ]] && continue
  grep -q "^[[:space:]]*$library " <<<"$gui_listed" ||
    fail "nimbra-kit loads $library, and not through Qt Gui"
done < <(awk '{ print $1 }' <<<"$listed" | grep -E "^($desktop)\\." || true)

if ((failed)); then
  echo "ldd $kit:"
  echo "$listed"
  exit 1
fi
