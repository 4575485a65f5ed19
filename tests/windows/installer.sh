#!/usr/bin/env bash
# The per-user installer under Wine: a silent install puts the program, the
# library, the stubs and the help page into the user's programs folder with
# a Start-menu and a Send-to entry and an entry in the user's apps; the
# installed program, started as Send to starts it, packs a file; a silent
# uninstall leaves nothing of ours. Argument: the folder holding the
# x86_64 kinaru-setup.exe.
setup=$1/kinaru-setup.exe
. "$(dirname "$0")/wine.sh" bsdtar
[ -f "$setup" ] || { echo "SKIP: no $setup (makensis is not installed)"; exit 0; }
mkdir -p "$work/data"
wine_start

user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
home="$WINEPREFIX/drive_c/users/$user"
folder="$home/AppData/Local/Programs/Kinaru"
sendto="$home/AppData/Roaming/Microsoft/Windows/SendTo/Kinaru.lnk"
startmenu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kinaru.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kinaru'

timeout 120 "$wine" "$setup" /S || fail "the silent install failed"
for file in kinaru.exe unlha32.dll kinaru-sfx-console.exe kinaru-sfx-window.exe Kinaru.html uninstall.exe; do
  [ -f "$folder/$file" ] || fail "not installed: $file ($(ls "$folder" 2>&1))"
done
[ -f "$sendto" ] && [ -f "$startmenu" ] || fail "no Send-to or Start-menu entry"
"$wine" reg query "$key" /v QuietUninstallString 2>/dev/null | grep -q 'uninstall.exe" /S' ||
  fail "no entry in the user's apps"

# Send to starts the program with the selected files; Enter packs them
# beside the program, its output folder while nothing else is set.
printf 'sent\n' >"$work/data/sent.txt"
(cd "$work" && timeout 120 "$wine" "$folder/kinaru.exe" "$(winpath "$work/data/sent.txt")") & pid=$!
window=$(wait_window "^Kinaru - " 60) || fail "the installed program showed no compression dialog"
xdotool mousemove --window "$window" 120 14 click 1  # into the archive-name box
send_keys "$window" Return
expect_exit
[ "$(bsdtar -xOf "$folder/sent.lzh" sent.txt)" = sent ] || fail "no archive beside the installed program"
rm "$folder/sent.lzh"

timeout 120 "$wine" "$folder/uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller copies itself away and finishes from there, in its own time.
for _ in $(seq 600); do [ -e "$folder" ] || break; sleep 0.2; done
[ ! -e "$folder" ] || fail "left behind: $(ls -A "$folder")"
[ ! -e "$sendto" ] && [ ! -e "$startmenu" ] || fail "an entry was left behind"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the apps entry was left behind"
echo "PASS"
