#!/usr/bin/env bash
# Drops files onto the compression dialog over real XDND, in a Japanese
# locale: names that differ from listed ones only in kana type, width or
# script are added, a file already listed is not added twice, and Enter packs
# exactly the chosen files and stores the settings.
. "$(dirname "$0")/desktop.sh"

program_copy "$1" '[SETTING]\nDISTDIR=%s/\nVIEWINFO=0\n'
mkdir -p "$work/data"
for name in あ a ア ｱ ａ; do printf '%s\n' "$name" >"$work/data/$name.txt"; done
desktop_start

launch "$work/app/kinaru" "$work/data/あ.txt" "$work/data/a.txt"
window=$(wait_window "^Kinaru - ") || fail "no compression dialog appeared"
xdotool windowmove --sync "$window" 400 300
"$2" "$work/data/ア.txt" "$work/data/ｱ.txt" "$work/data/ａ.txt" "$work/data/あ.txt" &
at_exit "kill $! 2>/dev/null"
source_window=$(wait_window "^drag-source$") || fail "no drag source appeared"

read -r tx ty tw th < <(client_geometry "$window")
drag_to "$source_window" $((tx + tw / 2)) $((ty + th / 2))

send_keys "$window" Return
expect_exit
packed=$(bsdtar -tf "$work/out/あ.lzh" | sort | tr '\n' ' ') || fail "bsdtar cannot read the archive: $(ls "$work/out")"
expected=$(cd "$work/data" && ls | sort | tr '\n' ' ')
[ "$packed" = "$expected" ] || fail "packed [$packed], chosen [$expected]"
cd "$work/data" && lhasa t "$work/out/あ.lzh" >/dev/null || fail "lhasa finds the archive damaged"
for section in MAIN COMP ALART SETTING; do
  grep -q "^\[$section\]" "$work/app/kinaru.ini" || fail "settings file lacks [$section]"
done
