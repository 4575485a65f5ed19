# Sourced by the end-to-end scripts: a virtual 1280x800 desktop with openbox
# in ja_JP.UTF-8, and small helpers to drive and inspect the program's windows
# as a person would see them.
#   desktop_start                 start the display and the window manager
#   program_copy BIN FORMAT       copy the program's folder BIN into $work/app;
#                                 its kinaru.ini is printf FORMAT "$work/out"
#                                 (the folder for archives)
#   at_exit COMMAND               run COMMAND when the script ends
#   wait_window NAME [SECONDS]    print the id of the first visible window
#                                 whose title matches the regex NAME
#   client_geometry ID            print "x y width height" of the client area
#   frame_extents ID              print "left right top bottom" of the frame
#   outer_geometry ID             print "x y width height" with the frame
#   send_keys ID KEY...           focus the window and press the keys
#   wait_exit PID [SECONDS]       wait for a background process; sets EXIT_CODE
#   screenshot FILE [ID]          PNG of the screen, or of one window with frame
#   fail MESSAGE                  print and end the script with failure

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset QT_QPA_PLATFORM

_desktop_exit_commands=()
at_exit() { _desktop_exit_commands+=("$*"); }
_desktop_on_exit() {
  local i
  for ((i = ${#_desktop_exit_commands[@]} - 1; i >= 0; i--)); do
    eval "${_desktop_exit_commands[i]}" || true
  done
}
trap _desktop_on_exit EXIT

program_copy() {
  work=$(mktemp -d)
  at_exit rm -rf "$work"
  mkdir -p "$work/app" "$work/out"
  cp -a "$1/." "$work/app/"
  # shellcheck disable=SC2059
  printf "$2" "$work/out" >"$work/app/kinaru.ini"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

desktop_start() {
  local fifo display pid
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # -displayfd picks a free display, so parallel runs never collide.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  pid=$!
  at_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null"
  read -r -t 30 display <"$fifo"
  rm -f "$fifo"
  [ -n "$display" ] || fail "Xvfb did not start"
  export DISPLAY=":$display"
  unset XAUTHORITY
  # The session's own runtime folder; openbox's log stays out of any home.
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  at_exit "rm -rf '$XDG_RUNTIME_DIR'"
  XDG_CACHE_HOME=$XDG_RUNTIME_DIR openbox --sm-disable >/dev/null 2>&1 &
  pid=$!
  at_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null"
  local _
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  fail "openbox did not start"
}

wait_window() {
  local id
  id=$(timeout "${2:-30}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  [ -n "$id" ] || return 1
  # The window manager maps the frame before it knows the final extents.
  local _
  for _ in $(seq 1 50); do
    xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && break
    sleep 0.1
  done
  echo "$id"
}

client_geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF}
    END {print x, y, w, h}'
}

frame_extents() {
  xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ','
}

outer_geometry() {
  local x y w h l r t b
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(frame_extents "$1")
  echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}

send_keys() {
  local id=$1
  shift
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" 2>/dev/null
  sleep 0.3
  xdotool key --delay 80 "$@"
}

wait_exit() {
  local pid=$1 _
  for _ in $(seq 1 $((${2:-60} * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    EXIT_CODE=124
    return 1
  fi
  wait "$pid"
  EXIT_CODE=$?
}

screenshot() {
  if [ -n "${2:-}" ]; then
    local x y w h
    read -r x y w h < <(outer_geometry "$2")
    import -silent -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
  else
    import -silent -window root "$1"
  fi
}
