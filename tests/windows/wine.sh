# Sourced by the Windows programs' desktop runs: desktop.sh's virtual desktop
# with a Wine prefix of the run's own in $work (made here).
#   wine_start          make the prefix and keep one Wine server for all runs
#   winpath PATH        PATH as Wine shows it, under drive Z:
# Skips (exit 0, "SKIP:") where wine64 or one of the tools named is missing.
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/desktop.sh"

wine=/usr/lib/wine/wine64
for tool in "$wine" "$@"; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
work=$(mktemp -d)
at_exit rm -rf "$work"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

wine_start() {
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  at_exit "/usr/lib/wine/wineserver -k 2>/dev/null"
  desktop_start
  # A new prefix takes a while to make; the programs' own runs are timed apart.
  # Once in a full run the first try ended at once, as if it met the server
  # of a prefix just removed: it is tried again.
  local try
  for try in 1 2 3; do
    timeout 300 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 && break
    ((try < 3)) || fail "wine could not make its prefix: $(tail -n 5 "$work/wineboot.log")"
    sleep 3
  done
  # A program started while the last one's server winds down would not start.
  /usr/lib/wine/wineserver -p
}
