# Sourced by the end-to-end scripts: a virtual 1280x800 desktop with openbox
# in ja_JP.UTF-8, and small helpers to drive and inspect the program's windows
# as a person would see them.
#   desktop_start                 start the display and the window manager
#   program_copy BIN FORMAT       copy the program's folder BIN into $work/app;
#                                 its kinaru.ini is printf FORMAT "$work/out"
#                                 (the folder for archives); its state folder
#                                 is $work/state
#   launch COMMAND...             run COMMAND in the background ($pid), for a
#                                 minute at most
#   expect_exit                   wait for it; fail unless it ended with 0
#   at_exit COMMAND               run COMMAND when the script ends
#   wait_window NAME [SECONDS]    print the id of the first visible window
#                                 whose title matches the regex NAME
#   client_geometry ID            print "x y width height" of the client area
#   outer_geometry ID             the same with the window manager's frame
#   send_keys ID KEY...           focus the window and press the keys
#   drag_to SOURCE X Y            drag from the window SOURCE and drop at X,Y
#   fail MESSAGE                  print and end the script with failure

set -uo pipefail
# A host without the desktop's tools or the locale skips the run (77), saying which.
skip() { echo "SKIP: $*"; exit 77; }
for tool in Xvfb openbox xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null || skip "$tool is not installed; scripts/setup installs it"
done
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || skip "the ja_JP.UTF-8 locale is missing; scripts/setup makes it"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset QT_QPA_PLATFORM

_at_exit=:
at_exit() { _at_exit="$*; $_at_exit"; }  # the last one registered runs first
trap 'eval "$_at_exit"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

program_copy() {
  work=$(mktemp -d)
  at_exit rm -rf "$work"
  mkdir -p "$work/app" "$work/out"
  # What the program keeps between runs stays out of any home too.
  export XDG_STATE_HOME="$work/state"
  cp -a "$1/." "$work/app/"
  # shellcheck disable=SC2059
  printf "$2" "$work/out" >"$work/app/kinaru.ini"
}

desktop_start() {
  local fifo display _
  fifo=$(mktemp -u) && mkfifo "$fifo"
  # -displayfd picks a free display, so parallel runs never collide.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  at_exit "kill $! 2>/dev/null; wait $! 2>/dev/null"
  read -r -t 30 display <"$fifo"
  rm -f "$fifo"
  [ -n "$display" ] || fail "Xvfb did not start"
  # The session's own runtime folder; openbox's log stays out of any home.
  XDG_RUNTIME_DIR=$(mktemp -d)
  export DISPLAY=":$display" XDG_RUNTIME_DIR
  unset XAUTHORITY
  at_exit "rm -rf '$XDG_RUNTIME_DIR'"
  XDG_CACHE_HOME=$XDG_RUNTIME_DIR openbox --sm-disable >/dev/null 2>&1 &
  at_exit "kill $! 2>/dev/null; wait $! 2>/dev/null"
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  fail "openbox did not start"
}

launch() { timeout 60 "$@" & pid=$!; }

expect_exit() {
  wait "$pid"
  local code=$?
  [ "$code" = 0 ] || fail "kinaru exited with $code (124: it did not end)"
}

wait_window() {
  local id="" _ deadline=$((SECONDS + ${2:-30}))
  # Searched anew until it shows: one search ends with an error when a window
  # it looks at closes meanwhile (a box going away as the next one opens).
  until id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
  # The window manager maps the frame before it knows the final extents.
  for _ in $(seq 50); do
    xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && break
    sleep 0.1
  done
  echo "$id"
}

client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}

outer_geometry() {
  local x y w h l r t b
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')
  echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}

send_keys() {
  local _
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null
  # On a busy machine the focus can arrive after the window manager's answer,
  # and keys typed before it are lost.
  for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && break
    sleep 0.1
  done
  sleep 0.3
  xdotool key --delay 80 "${@:2}"
}

drag_to() {
  local sx sy step
  read -r sx sy _ < <(client_geometry "$1")
  # Pressed, then moved in small steps as a hand does, so that the drag sees
  # the target window before the button comes up.
  xdotool mousemove --sync $((sx + 50)) $((sy + 50)) mousedown 1
  for step in $(seq 1 10); do
    xdotool mousemove $((sx + 50 + ($2 - sx - 50) * step / 10)) $((sy + 50 + ($3 - sy - 50) * step / 10))
    sleep 0.1
  done
  sleep 0.5
  xdotool mouseup 1
  sleep 1
}
