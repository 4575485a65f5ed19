#!/usr/bin/env bash
# kinaru.exe under Wine on a virtual desktop, driven as a person would:
# started with two files and given a third by a drop over XDND (which Wine
# hands over as WM_DROPFILES), Enter packs them into an archive that other
# readers take byte for byte and stores the settings file; started again,
# each same-name policy and answer ends as the Linux program's; the settings
# dialog cancels, resets and saves; without the library, the run and the
# settings dialog say so and neither packs nor stores; the command lines are
# the Linux program's.
# The items lie in a folder with a blank, so their words on the command
# line are quoted. Arguments: the folder holding the x86_64 kinaru.exe, unlha32.dll and
# recording/unlha32.dll, and tests/e2e's drag source.
bin=$(cd "$1" && pwd)
. "$(dirname "$0")/wine.sh" lhasa bsdtar
mkdir -p "$work/app" "$work/out" "$work/my data" "$work/check"
cp "$bin/kinaru.exe" "$bin/unlha32.dll" "$work/app/"
printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n' "$(winpath "$work/out")" >"$work/app/kinaru.ini"
printf 'first file\n' >"$work/my data/one.txt"
printf 'dropped\n' >"$work/my data/three.txt"
printf 'elsewhere\n' >"$work/four.txt"
head -c 200000 /dev/urandom >"$work/my data/two.bin"

wine_start

# $pid is the timeout's, whose only child is the program.
run_kinaru() { (cd "$work" && exec timeout 120 "$wine" "$work/app/kinaru.exe" "$@" </dev/null) & pid=$!; }

run_kinaru "$(winpath "$work/my data/one.txt")" "$(winpath "$work/my data/two.bin")"
window=$(wait_window "^Kinaru - " 60) || fail "no compression dialog appeared"
# A file of the top folder dropped on the dialog joins the items; one from
# elsewhere does not.
# The dialog stays where the settings put it, the source goes out of its way.
"$2" "$work/my data/three.txt" "$work/four.txt" &
at_exit "kill $! 2>/dev/null"
source_window=$(wait_window "^drag-source$") || fail "no drag source appeared"
xdotool windowmove --sync "$source_window" 600 400
read -r tx ty tw th < <(client_geometry "$window")
drag_to "$source_window" $((tx + 200)) $((ty + th / 2))
# Into the archive-name box, whose Enter presses the compress button.
xdotool mousemove --window "$window" 120 14 click 1
send_keys "$window" Return
expect_exit

archive="$work/out/one.lzh"
[ -f "$archive" ] || fail "no archive: $(ls "$work/out")"
cd "$work/check" && lhasa xq "$archive" || fail "lhasa cannot extract the archive"
cmp one.txt "$work/my data/one.txt" && cmp two.bin "$work/my data/two.bin" || fail "lhasa's files differ"
[ "$(ls | tr '\n' ' ')" = "one.txt three.txt two.bin " ] || fail "packed: $(ls)"
[ "$(bsdtar -xOf "$archive" one.txt)" = "first file" ] || fail "bsdtar reads another one.txt"
bsdtar -xOf "$archive" two.bin | cmp - "$work/my data/two.bin" || fail "bsdtar's two.bin differs"
# The bytes the Linux program stores for the same run: the file's own keys
# first, the rest of the section in the table's order, then the sections
# that were missing, each dialog where it stood.
printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\nWORKDIR=\nSAMEFILE=2\nCOMPVER=0\nDIRENABLE=1\nOPENDIST=0\nDEFAULT=1\n\n[MAIN]\nLEFT=10\nTOP=10\n\n[COMP]\nLEFT=20\nTOP=20\n\n[ALART]\nLEFT=30\nTOP=30\n' \
  "$(winpath "$work/out")" >"$work/expected.ini"
cmp "$work/expected.ini" "$work/app/kinaru.ini" || fail "settings file: $(cat "$work/app/kinaru.ini")"

# The same name again, under each policy and each answer of the same-name
# dialog, as the Linux program ends the same run: replaced or deleted first
# leaves the new file alone, added to keeps the others, abandoned changes
# nothing, renamed leaves the old archive and packs into the new name. A
# policy that does not ask shows no dialog; one that did would not end.
# Columns: SAMEFILE, the keys for the dialog (- for none), the names then
# in the archive (or "before" for unchanged), the archive to look into.
cp "$archive" "$work/before.lzh"
printf 'changed since\n' >"$work/my data/one.txt"  # so that any other answer would change the archive
while read -r policy keys expected target; do
  cp "$work/before.lzh" "$archive"
  printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\nSAMEFILE=%s\n' "$(winpath "$work/out")" "$policy" >"$work/app/kinaru.ini"
  run_kinaru "$(winpath "$work/my data/one.txt")"
  window=$(wait_window "^Kinaru - " 60) || fail "SAMEFILE=$policy $keys: no compression dialog appeared"
  send_keys "$window" Return
  if [ "$keys" != - ]; then
    same=$(wait_window "同じ名前のファイルを見つけました" 60) || fail "SAMEFILE=$policy $keys: no same-name dialog appeared"
    # Focus starts in the new name, as on Linux; the buttons follow.
    send_keys "$same" ${keys//,/ }
  fi
  expect_exit
  if [ "$expected" = before ]; then
    cmp "$work/before.lzh" "$archive" || fail "SAMEFILE=$policy $keys changed the archive"
    continue
  fi
  names=$(bsdtar -tf "$work/out/$target" | sort | tr '\n' ,)
  [ "$names" = "$expected," ] || fail "SAMEFILE=$policy $keys: $target holds $names"
  [ "$(bsdtar -xOf "$work/out/$target" one.txt)" = "changed since" ] || fail "SAMEFILE=$policy $keys packed an old one.txt"
done <<'ROWS'
0 -                        one.txt                   one.lzh
1 -                        one.txt,three.txt,two.bin one.lzh
2 Tab,space                before                    one.lzh
2 Tab,Tab,space            one.txt,three.txt,two.bin one.lzh
2 Tab,Tab,Tab,space        one.txt                   one.lzh
2 r,e,n,a,m,e,d,Return     one.txt                   renamed.lzh
ROWS
cmp "$work/before.lzh" "$archive" || fail "the renamed run changed the old archive"

# Killed while it replaces an archive (the old one set aside, the library's
# progress window up): the next start puts the old archive back from its
# record in %LOCALAPPDATA%\Kinaru and leaves no record, as a stop does on
# Linux.
seq 1 12000000 >"$work/my data/big.txt"
printf 'old archive\n' >"$work/out/big.lzh"
printf '[SETTING]\nDISTDIR=%s\nSAMEFILE=0\nCOMPVER=2\nVIEWINFO=1\n' "$(winpath "$work/out")" >"$work/app/kinaru.ini"
big() { ls -A "$work/out" | grep big | tr '\n' ' '; }
run_kinaru "$(winpath "$work/my data/big.txt")"
window=$(wait_window "^Kinaru - " 60) || fail "no compression dialog appeared for the big file"
send_keys "$window" Return
wait_window "^圧縮中$" 60 >/dev/null || fail "no progress window appeared"
[ "$(big)" = ".big.lzh.kinaru-old " ] || fail "not set aside while packing: $(big)"
kill -KILL "$(pgrep -P "$pid")"
wait "$pid" 2>/dev/null
records=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Kinaru)
[ "$(big)" = ".big.lzh.kinaru-old " ] && [ -n "$(ls -A "$records")" ] || fail "after a kill: $(big), records: $(ls -A "$records")"
run_kinaru
window=$(wait_window "^Kinaru Ver2.5$" 60) || fail "no settings dialog after the kill"
xdotool mousemove --window "$window" 246 278 click 1  # 中止
expect_exit
[ "$(big)" = "big.lzh " ] && [ "$(cat "$work/out/big.lzh")" = "old archive" ] || fail "the next start left $(big)"
[ -z "$(ls -A "$records")" ] || fail "records left: $(ls -A "$records")"
rm "$work/my data/big.txt" "$work/out/big.lzh"
printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n' "$(winpath "$work/out")" >"$work/app/kinaru.ini"

# A name the system code page cannot hold reaches the archive whole, through
# UnlhaUtf8, under the Japanese code page (932) and under another (1252):
# Wine takes a program's code page from its locale.
printf 'korean\n' >"$work/my data/한글😀.txt"
for locale in ja_JP.UTF-8 C.UTF-8; do
  rm -f "$work/out/한글😀.lzh"
  LC_ALL=$locale LANG=$locale run_kinaru "$(winpath "$work/my data/한글😀.txt")"
  window=$(wait_window "^Kinaru - " 60) || fail "$locale: no compression dialog appeared for a Korean name"
  send_keys "$window" Return
  expect_exit
  [ "$(bsdtar -xOf "$work/out/한글😀.lzh" 한글😀.txt)" = korean ] || fail "$locale: the Korean name: $(ls "$work/out"; bsdtar -tf "$work/out/"*😀* 2>&1)"
done

# The settings dialog over a hand-edited file: a change cancelled (中止)
# stores nothing; a confirmed reset (初期化, whose question defaults to
# いいえ) stores every default at once as the Linux program does, in the
# table's order, the output folder being the program's own, and the dialog
# then shows them, so that 保存 stores the same bytes.
printf '; by hand\n[MAIN]\nLEFT=150\n[SETTING]\nDISTDIR=%s\nWORKDIR=C:\\w\\\nSAMEFILE=0\nCOMPVER=2\nOPENDIST=1\nDEFAULT=0\n' \
  "$(winpath "$work/out")" >"$work/app/kinaru.ini"
cp "$work/app/kinaru.ini" "$work/expected.ini"
for reset in no yes; do
  run_kinaru
  window=$(wait_window "^Kinaru Ver2.5$" 60) || fail "no settings dialog appeared (reset: $reset)"
  if [ "$reset" = yes ]; then
    xdotool mousemove --window "$window" 240 49 click 1  # 初期化
    question=$(wait_window "^警告$" 60) || fail "the reset asked nothing"
    send_keys "$question" Tab Return
    message=$(wait_window "^Kinaru Version 2.5 Prerelease.$" 60) || fail "the reset said nothing"
    send_keys "$message" Return
    printf '[MAIN]\nLEFT=10\nTOP=10\n\n[COMP]\nLEFT=20\nTOP=20\n\n[ALART]\nLEFT=30\nTOP=30\n\n[SETTING]\nDISTDIR=%s\nWORKDIR=\nSAMEFILE=2\nCOMPVER=0\nVIEWINFO=1\nDIRENABLE=1\nOPENDIST=0\nDEFAULT=1\n' \
      "$(winpath "$work/app")" >"$work/expected.ini"
    cmp "$work/expected.ini" "$work/app/kinaru.ini" || fail "settings file after reset: $(cat "$work/app/kinaru.ini")"
    rm "$work/app/kinaru.ini"  # for 保存 to write it anew
    xdotool mousemove --window "$window" 170 278 click 1  # 保存
  else
    xdotool mousemove --window "$window" 30 175 click 1 mousemove --window "$window" 246 278 click 1  # 圧縮後…, 中止
  fi
  expect_exit
  cmp "$work/expected.ini" "$work/app/kinaru.ini" || fail "settings file (reset: $reset): $(cat "$work/app/kinaru.ini")"
done

# An output folder that cannot be entered is reported at start and kept in
# the settings file when the dialog is closed without a run.
printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n' "$(winpath "$work/gone/out")" >"$work/app/kinaru.ini"
run_kinaru "$(winpath "$work/my data/one.txt")"
error=$(wait_window "^Kinaru Version 2.5 Prerelease.$" 60) || fail "no error for an output folder that is gone"
send_keys "$error" Return
window=$(wait_window "^Kinaru - " 60) || fail "no compression dialog after the error"
send_keys "$window" alt+F4
expect_exit
grep -qxF "DISTDIR=$(winpath "$work/gone/out")" "$work/app/kinaru.ini" || fail "the stored folder was lost: $(cat "$work/app/kinaru.ini")"
printf '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n' "$(winpath "$work/out")" >"$work/app/kinaru.ini"

# Without the library: the number and its meaning, nothing packed.
rm "$work/app/unlha32.dll"
run_kinaru "$(winpath "$work/my data/two.bin")"
window=$(wait_window "^Kinaru - " 60) || fail "no compression dialog appeared without the library"
send_keys "$window" Return
message=$(wait_window "^Kinaru Version 2.5 Prerelease.$" 60) || fail "no message without the library"
send_keys "$message" Return
expect_exit
[ ! -e "$work/out/two.lzh" ] || fail "an archive without the library"
# The settings dialog says so before it shows and ends without storing.
cp "$work/app/kinaru.ini" "$work/before.ini"
run_kinaru
message=$(wait_window "^Kinaru Version 2.5 Prerelease.$" 60) || fail "no message from the settings dialog without the library"
send_keys "$message" Return
expect_exit
cmp "$work/before.ini" "$work/app/kinaru.ini" || fail "the settings file changed without the library"

# The command lines, through a library that writes them down: the same
# words, switches, blanks and quotes as the Linux program's, names in UTF-8
# through UnlhaUtf8, the work folder and the temporary archive aside.
cp "$bin/recording/unlha32.dll" "$work/app/unlha32.dll"
run_kinaru "$(winpath "$work/my data/one.txt")" "$(winpath "$work/my data/two.bin")" "$(winpath "$work/my data/한글😀.txt")"
window=$(wait_window "^Kinaru - " 60) || fail "no compression dialog appeared with the recording library"
xdotool mousemove --window "$window" 446 14 click 1 sleep 0.5 mousemove --window "$window" 268 63 click 1  # Expand, 自動解凍書庫化
xdotool mousemove --window "$window" 120 14 click 1
send_keys "$window" Return
expect_exit
recorded=$(sed -E 's/ -w[^ ]* / -wWORK /; s/"[^"]*[0-9]{8}\.lzh"/"TEMP.lzh"/' "$work/app/commands.txt")
expected='UnlhaUtf8: a -n1 -x1 -wWORK -jm2 -r2 -a2  "TEMP.lzh"  "one.txt" "two.bin" "한글😀.txt"
UnlhaUtf8: s -n1 -x1 -wWORK -jm2  -a2 -gu1 -ji1  "TEMP.lzh"'
[ "$recorded" = "$expected" ] || fail "commands: $(cat "$work/app/commands.txt")"
echo "PASS"
