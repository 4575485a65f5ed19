#!/usr/bin/env bash
# Starts the built program with two files, presses Enter, and checks the
# archive, the settings file and the exit code.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/desktop.sh"
bin=$1

# A copy of the program's folder, so that its settings file is the test's own.
program_copy "$bin" '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n'
mkdir -p "$work/data"
printf 'first file\n' > "$work/data/one.txt"
head -c 200000 /dev/urandom > "$work/data/two.bin"

# Without a display: a plain answer in both languages, not Qt's abort.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/app/kinaru" "$work/data/one.txt" 2>&1)
code=$?
[ "$code" != 0 ] && [ "$code" -lt 128 ] || fail "without a display kinaru exited with $code"
[[ $said == *デスクトップ環境で起動してください* && $said == *"needs a desktop session"* ]] || fail "without a display: $said"

desktop_start
(cd / && exec "$work/app/kinaru" "$work/data/one.txt" "$work/data/two.bin") &
pid=$!
window=$(wait_window "^Kinaru - ") || fail "no compression dialog appeared"
send_keys "$window" Return
wait_exit $pid || fail "kinaru did not end"
[ "$EXIT_CODE" = 0 ] || fail "kinaru exited with $EXIT_CODE"
[ -f "$work/out/one.lzh" ] || fail "no archive in the output folder: $(ls "$work/out")"
lhasa t "$work/out/one.lzh" || fail "lhasa t rejects the archive"
mkdir "$work/check" && (cd "$work/check" && lhasa xq "$work/out/one.lzh") || fail "lhasa x failed"
cmp "$work/check/one.txt" "$work/data/one.txt" || fail "one.txt differs"
cmp "$work/check/two.bin" "$work/data/two.bin" || fail "two.bin differs"
for section in MAIN COMP ALART SETTING; do
  grep -q "^\[$section\]" "$work/app/kinaru.ini" || fail "settings file lacks [$section]"
done
echo "PASS"
