#!/usr/bin/env bash
# The built program's boxes under a window manager: without a display, a
# plain answer; an output folder that cannot be entered, a short error box as
# wide as its caption; without the library, one box that Enter closes.
# (Packing with Enter is the drop run's and the package run's.)
. "$(dirname "$0")/desktop.sh"

# A copy of the program's folder, so that its settings file is the test's own.
program_copy "$1" '[SETTING]\nDISTDIR=%s\nVIEWINFO=0\n'
mkdir -p "$work/data"
printf 'first file\n' >"$work/data/one.txt"

# Without a display: a plain answer in both languages, not Qt's abort.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/app/kinaru" "$work/data/one.txt" 2>&1)
code=$?
[ "$code" != 0 ] && [ "$code" -lt 128 ] || fail "without a display kinaru exited with $code"
[[ $said == *デスクトップ環境で起動してください* && $said == *"needs a desktop session"* ]] || fail "without a display: $said"

desktop_start

# An output folder that cannot be entered: a short error box, still as wide
# as its caption needs under the window manager.
sed -i "s|^DISTDIR=.*|DISTDIR=$work/gone|" "$work/app/kinaru.ini"
launch "$work/app/kinaru"
box=$(wait_window "^Kinaru Version 2.5 Prerelease.$") || fail "no box about the output folder"
read -r _ _ w _ < <(outer_geometry "$box")
((w >= 290)) || fail "the box is $w pixels wide: its caption is cut"
send_keys "$box" Return
window=$(wait_window "^Kinaru Ver2") || fail "no settings dialog after the box"
send_keys "$window" Escape
expect_exit
sed -i "s|^DISTDIR=.*|DISTDIR=$work/out|" "$work/app/kinaru.ini"

# Without the library: one box under the application title; Enter closes it
# and ends the program.
mv "$work/app/libunlha32.so" "$work/libunlha32.so"
launch "$work/app/kinaru"
box=$(wait_window "^Kinaru Version 2.5 Prerelease.$") || fail "no box about the missing library"
send_keys "$box" Return
expect_exit
