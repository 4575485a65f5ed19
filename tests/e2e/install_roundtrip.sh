#!/usr/bin/env bash
# Installs into a temporary home beside a Thunar action of the user's own,
# checks the desktop entry and every file-manager action, then uninstalls,
# keeping the settings unless purged, and finds nothing of ours left.
. "$(dirname "$0")/desktop.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
at_exit rm -rf "$work"
export HOME="$work/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME KINARU_BIN_DIR KINARU_APPLICATIONS_DIR
prefix="$HOME/.local/opt/kinaru"
share="$HOME/.local/share"
uca="$HOME/.config/Thunar/uca.xml"
mkdir -p "$(dirname "$uca")"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<actions>\n<action>\n\t<name>Mine</name>\n\t<unique-id>1-1</unique-id>\n\t<command>true %%f</command>\n</action>\n</actions>\n' >"$uca"
cp "$uca" "$work/uca.before"
cmake --install "$1" --prefix "$prefix" >/dev/null || fail "install failed"
cp "$1/install_manifest.txt" "$prefix/.installed-files"

entry="$share/applications/kinaru.desktop"
desktop-file-validate "$entry" || fail "desktop entry invalid"
grep -q '^MimeType' "$entry" && fail "the desktop entry claims file types"
grep -qx "Exec=\"$prefix/kinaru\" %F" "$entry" || fail "desktop entry does not start the installed program on files"
xmllint --noout "$uca" || fail "Thunar's actions are no longer valid XML"
grep -q '<name>Mine</name>' "$uca" || fail "the user's own Thunar action was lost"
[ -x "$share/kio/servicemenus/kinaru-compress.desktop" ] || fail "Dolphin ignores a service menu without the executable bit"
# PCManFM (libfm) labels the menu entry with Tooltip when there is one.
grep -q '^Tooltip' "$share/file-manager/actions/kinaru-compress.desktop" && fail "PCManFM would not show Kinaru で圧縮"

# Each file manager's substitution of the selection into its command line:
# one shell-quoted word per path (Dolphin, Thunar, file-manager actions),
# double-quoted paths (Nemo), or the arguments themselves (Nautilus scripts).
data="$work/選んだ ファイル"
mkdir -p "$data/写真 フォルダ" "$work/elsewhere"
selection=("$data/報告書  2024.txt" "$data/写真 フォルダ" "$data/\$HOME と _下線_.txt")
printf 'x\n' | tee "${selection[0]}" "${selection[2]}" >/dev/null
mv "$prefix/kinaru" "$prefix/kinaru.real"
printf '#!/bin/sh\nfor a; do printf "%%s\\n" "$a"; done >"%s"\n' "$work/argv" >"$prefix/kinaru"
chmod +x "$prefix/kinaru"
expected=$(printf '%s\n' "${selection[@]}")
run_action() {  # NAME COMMAND QUOTE-STYLE: COMMAND run on the selection as that file manager runs it
  local words="" p
  for p in "${selection[@]}"; do
    case $3 in
      single) words+=" '${p//\'/\'\\\'\'}'" ;;
      double) words+=" \"${p//\"/\\\"}\"" ;;
      *) words+=" $p" ;;
    esac
  done
  rm -f "$work/argv"
  (cd "$work/elsewhere" && printf '%s' "${2/\%F/${words# }}" | xargs sh -c '"$0" "$@"')
  [ "$(cat "$work/argv" 2>/dev/null)" = "$expected" ] || fail "$1 passed: $(cat "$work/argv" 2>/dev/null)"
}
run_action Dolphin "$(sed -n 's/^Exec=//p' "$share/kio/servicemenus/kinaru-compress.desktop")" single
run_action Thunar "$(sed -n 's:.*<command>\(.*\)</command>.*:\1:p' "$uca" | grep kinaru)" single
run_action PCManFM/Caja "$(sed -n 's/^Exec=//p' "$share/file-manager/actions/kinaru-compress.desktop")" single
nemo="$share/nemo/actions/kinaru-compress.nemo_action"
run_action Nemo "$(sed -n 's/^Exec=//p' "$nemo")" "$(sed -n 's/^Quote=//p' "$nemo")"
run_action Nautilus "'$share/nautilus/scripts/Kinaru で圧縮' %F" single
mv -f "$prefix/kinaru.real" "$prefix/kinaru"

# The installed tool finds its library through the link on the PATH; the
# installed program's own run is the package test's.
printf 'x\n' >"$work/elsewhere/a.txt"
(cd "$work/elsewhere" && "$HOME/.local/bin/unlha" a a.lzh a.txt >/dev/null && lhasa t a.lzh >/dev/null) ||
  fail "the installed unlha wrote no valid archive"
mkdir -p "$HOME/.config/kinaru" && printf '[SETTING]\n' >"$HOME/.config/kinaru/kinaru.ini"
"$root/scripts/uninstall" "$prefix" >/dev/null || fail "uninstall failed"
[ -f "$HOME/.config/kinaru/kinaru.ini" ] || fail "a plain uninstall removed the settings"
"$root/scripts/uninstall" --purge "$prefix" || fail "--purge after the uninstall failed"
cmp "$uca" "$work/uca.before" || fail "uninstall did not give back the user's Thunar actions"
rm "$uca"
left=$(find "$HOME" -mindepth 1 ! -type d ! -name mimeinfo.cache)
[ -z "$left" ] || fail "left after uninstall: $left"
empty=$(find "$HOME" -mindepth 1 -type d -empty ! -path "$HOME/.config/Thunar" ! -path "$HOME/.local/state")
[ -z "$empty" ] || fail "empty folders left after uninstall: $empty"
! grep -rq kinaru "$share/applications" || fail "the menu cache still names kinaru"
[ ! -e "$prefix" ] || fail "prefix folder left behind"
