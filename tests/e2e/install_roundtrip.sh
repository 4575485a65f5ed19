#!/usr/bin/env bash
# Installs into a temporary prefix, runs the installed program from another
# folder on two files as a person would, then uninstalls and finds nothing left.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/desktop.sh"
build=$1

work=$(mktemp -d)
at_exit rm -rf "$work"
export KINARU_BIN_DIR="$work/home/.local/bin" KINARU_APPLICATIONS_DIR="$work/home/.local/share/applications"
prefix="$work/home/.local/opt/kinaru"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "install failed"
cp "$build/install_manifest.txt" "$prefix/.installed-files"

desktop-file-validate "$KINARU_APPLICATIONS_DIR/kinaru.desktop" || fail "desktop entry invalid"
grep -qx 'Exec=kinaru %F' "$KINARU_APPLICATIONS_DIR/kinaru.desktop" || fail "desktop entry does not pass files"
for piece in kinaru libunlha32.so kinaru-sfx unlha Kinaru.html kinaru.svg; do
  [ -e "$prefix/$piece" ] || fail "$piece not installed"
done

mkdir -p "$work/data" "$work/out" "$work/elsewhere"
printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n' "$work/out" > "$prefix/kinaru.ini"
printf 'alpha\n' > "$work/data/a.txt"
printf 'beta\n' > "$work/data/b.txt"
cd "$work/elsewhere"
desktop_start
"$KINARU_BIN_DIR/kinaru" "$work/data/a.txt" "$work/data/b.txt" &
pid=$!
window=$(wait_window "^Kinaru - ") || fail "no compression dialog appeared"
send_keys "$window" Return
wait_exit $pid || fail "installed kinaru did not end"
[ "$EXIT_CODE" = 0 ] || fail "installed kinaru exited with $EXIT_CODE"
lhasa t "$work/out/a.lzh" || fail "installed kinaru wrote no valid archive"
"$KINARU_BIN_DIR/unlha" t "$work/out/a.lzh" || fail "installed unlha cannot test the archive"

"$root/scripts/uninstall" --purge "$prefix" || fail "uninstall failed"
left=$(find "$work/home" -mindepth 1 ! -type d)
[ -z "$left" ] || fail "left after uninstall: $left"
[ ! -e "$prefix" ] || fail "prefix folder left behind"
echo "PASS"
