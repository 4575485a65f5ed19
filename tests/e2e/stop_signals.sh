#!/usr/bin/env bash
# Ends the program by a signal while it replaces an archive, with the old one
# moved aside and the progress window up: SIGTERM and SIGHUP put the old
# archive back before the program ends; after SIGKILL the next start does.
# No hidden copy and no record is left either way.
. "$(dirname "$0")/desktop.sh"

program_copy "$1" '[SETTING]\nDISTDIR=%s\nSAMEFILE=0\nCOMPVER=2\nVIEWINFO=1\n'
mkdir -p "$work/data"
seq 1 12000000 >"$work/data/big.txt"
printf 'old archive\n' >"$work/out/big.lzh"
desktop_start

listing() { ls -A "$work/out" | tr '\n' ' '; }
cd /
for sig in TERM HUP KILL; do
  "$work/app/kinaru" "$work/data/big.txt" &
  kinaru=$!
  at_exit "kill -KILL $kinaru 2>/dev/null"
  window=$(wait_window "^Kinaru - ") || fail "no compression dialog appeared"
  send_keys "$window" Return
  wait_window "^圧縮中$" >/dev/null || fail "no progress window appeared"
  [ "$(listing)" = ".big.lzh.kinaru-old " ] || fail "$sig: not moved aside while packing: $(listing)"
  kill -"$sig" "$kinaru"
  wait "$kinaru"
  code=$?
  [ "$code" = $((128 + $(kill -l "$sig"))) ] || fail "$sig: kinaru exited with $code"
  if [ "$sig" = KILL ]; then
    [ "$(listing)" = ".big.lzh.kinaru-old " ] || fail "after a kill: $(listing)"
    "$work/app/kinaru" &
    kinaru=$!
    wait_window "^Kinaru Ver" >/dev/null || fail "the next start shows no settings dialog"
    kill -TERM "$kinaru"
    wait "$kinaru"
  fi
  [ "$(listing)" = "big.lzh " ] || fail "$sig: left $(listing)"
  [ "$(cat "$work/out/big.lzh")" = "old archive" ] || fail "$sig: the old archive changed"
  [ -z "$(ls -A "$work/state/kinaru")" ] || fail "$sig: records left: $(ls -A "$work/state/kinaru")"
done
