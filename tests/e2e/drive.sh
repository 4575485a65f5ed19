# Shared by the end-to-end scripts: starts kinaru on the given files under a
# virtual display, presses Enter in its dialog as a person would, and waits
# for the process to end. Usage: drive_kinaru EXECUTABLE FILES...
# Sets KINARU_EXIT to the program's exit code.
drive_kinaru() {
  local executable=$1
  shift
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -u
    executable=$1; shift
    unset QT_QPA_PLATFORM
    (cd / && exec "$executable" "$@") &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Kinaru - " | head -n 1)
    if [ -z "$window" ]; then echo "no compression dialog appeared" >&2; kill $pid; exit 90; fi
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    sleep 0.5
    xdotool key Return
    for _ in $(seq 1 600); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then echo "kinaru did not end" >&2; kill $pid; exit 91; fi
    wait $pid
  ' drive "$executable" "$@"
  KINARU_EXIT=$?
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
