#!/usr/bin/env bash
# The dialogs under a real window manager (openbox), driven by keyboard: the
# collapsed height includes the frame from the first show, a stored position
# off the screen is brought onto it, always to the same place, without losing
# the stored value, 圧縮 shows its focus ring, ▼ is reached by Tab, the
# same-name dialog takes a typed name with Enter, and the settings dialog asks
# for no window functions and takes a close or Escape as 中止; 初期化 asks
# first, with the safe answer under Enter.
. "$(dirname "$0")/desktop.sh"

program_copy "$1" '[MAIN]\nLEFT=32\nTOP=-5\n[COMP]\nLEFT=2500\nTOP=1900\n[SETTING]\nDISTDIR=%s/\nVIEWINFO=0\nSAMEFILE=2\n'
ini="$work/app/kinaru.ini"
printf 'first file\n' >"$work/one.txt"
printf 'old\n' >"$work/out/one.lzh"
desktop_start

on_top_edge() {  # WINDOW: stored at 32,-5, it stands at 32,0 every time
  sleep 0.5
  read -r x y _ < <(outer_geometry "$1")
  [ "$x $y" = "32 0" ] || fail "a position partly above the screen gave $x,$y"
}

outer_height_becomes() {  # WINDOW HEIGHT: the frame may arrive a moment late
  local _
  for _ in $(seq 30); do
    read -r x y w h < <(outer_geometry "$1")
    [ "$h" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

launch "$work/app/kinaru" "$work/one.txt"
window=$(wait_window "^Kinaru - ") || fail "no compression dialog appeared"
outer_height_becomes "$window" 53 || fail "collapsed outer height is $h, not 53"
((x >= 0 && y >= 0 && x + w <= 1280 && y + h <= 800)) || fail "dialog not wholly on the screen: $x $y $w $h"
[[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon ("* ]] || fail "the window has no icon"
# 圧縮 has the focus and shows its ring (the highlight colour on its edge).
import -silent -window "$window" "$work/client.png"
read -r r _ b < <(convert "$work/client.png" -format '%[fx:int(255*p{400,4}.r)] %[fx:int(255*p{400,4}.g)] %[fx:int(255*p{400,4}.b)]' info:)
((b > r + 60)) || fail "no focus ring on 圧縮 when the dialog opens ($r,$b)"
# From 圧縮, Tab goes round the name box, ▼ and 圧縮 only, never the hidden options.
send_keys "$window" Tab Tab Tab Tab Tab space
outer_height_becomes "$window" 272 || fail "▼ was not reached by Tab: outer height $h"
send_keys "$window" Tab Tab Return
same=$(wait_window "同じ名前のファイル") || fail "no same-name dialog appeared"
xdotool type --delay 20 "$work/out/renamed"
send_keys "$same" Return
expect_exit
lhasa t "$work/out/renamed.lzh" >/dev/null || fail "no archive under the typed name"
[ "$(cat "$work/out/one.lzh")" = old ] || fail "the archive of the same name was touched"
grep -q '^LEFT=2500' "$ini" || fail "the stored position was lost: $(grep -A2 COMP "$ini")"

cp "$ini" "$work/before.ini"
launch "$work/app/kinaru"
window=$(wait_window "^Kinaru Ver") || fail "no settings dialog appeared"
on_top_edge "$window"
read -r _ functions _ < <(xprop -id "$window" _MOTIF_WM_HINTS | sed -n 's/.*= *//p' | tr -d ',')
(((functions & 0x39) == 0)) || fail "the settings dialog asks for minimise, maximise or close ($functions)"
[[ $(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS) == *MAXIMIZE* ]] && fail "the window manager offers to maximise"
send_keys "$window" alt+F4
expect_exit
cmp -s "$ini" "$work/before.ini" || fail "a close from the window manager saved the settings"
launch "$work/app/kinaru"
window=$(wait_window "^Kinaru Ver") || fail "no settings dialog appeared"
on_top_edge "$window"
send_keys "$window" Escape
expect_exit
cmp -s "$ini" "$work/before.ini" || fail "Escape saved the settings"
# 初期化 asks first, and Enter answers the safe いいえ; はい rewrites the file and says so.
launch "$work/app/kinaru"
window=$(wait_window "^Kinaru Ver") || fail "no settings dialog appeared"
xdotool mousemove --window "$window" 70 14 click 1 mousemove --window "$window" 237 56 click 1
question=$(wait_window "^警告$" 10) || fail "初期化 asked nothing"
send_keys "$question" Return
sleep 0.5
cmp -s "$ini" "$work/before.ini" || fail "Enter at the question reset the settings"
xdotool mousemove --window "$window" 237 56 click 1
question=$(wait_window "^警告$" 10) || fail "初期化 asked nothing the second time"
send_keys "$question" alt+y
told=$(wait_window "^Kinaru Version" 10) || fail "no word that the settings were reset"
send_keys "$told" Return
grep -qx 'VIEWINFO=1' "$ini" || fail "the reset kept what was stored: $(cat "$ini")"
send_keys "$window" Escape
expect_exit
