#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks its metadata and
# contents and lets lintian judge it, installs it system-wide with apt-get,
# packs two files with the installed kinaru as a person would, reads its
# manual pages, then purges it and finds nothing of it left.
# Needs root; ends with 77 (skipped) otherwise. The other tests run the
# programs by path from the build folder, so the install does not touch them.
. "$(dirname "$0")/desktop.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in dpkg-deb dpkg-shlibdeps lintian apt-get man; do
  command -v "$tool" >/dev/null || fail "$tool is missing: scripts/setup installs it"
done
# Two runs of this test at once would remove each other's install.
mkdir -p /run/lock
exec 9>/run/lock/kinaru-package-test.lock
flock -w 600 9 || fail "another run of this test held the lock for 10 minutes"
if [[ $(dpkg-query -W -f='${Status}' kinaru 2>/dev/null) == *"ok installed" ]]; then
  skip "a kinaru package is already installed here; the test would remove it"
fi

work=$(mktemp -d)
at_exit rm -rf "$work"
chmod 755 "$work"  # apt's download user reads the package from here
deb=$("$root/scripts/package" "$work" "$build") || fail "scripts/package failed"
[ "$deb" = "$work/kinaru_2.5_amd64.deb" ] || fail "package written as $deb"

info=$(dpkg-deb --info "$deb")
for field in 'Package: kinaru' 'Version: 2.5' 'Architecture: amd64' 'Section: utils'; do
  grep -qx " $field" <<<"$info" || fail "control lacks $field: $info"
done
# Computed, so the libraries the binaries link to are all named.
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
  grep -q "^ Depends:.*\b$needed\b" <<<"$info" || fail "Depends lacks $needed: $info"
done

# Owners and modes are lintian's to judge; here: every piece, in its place.
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^/*$')
for path in /usr/lib/kinaru/{kinaru,unlha,kinaru-sfx,libunlha32.so,Kinaru.html,kinaru.installed} \
  /usr/share/man/{,ja/}man1/{kinaru,unlha}.1.gz /usr/share/doc/kinaru/{copyright,changelog.gz} \
  /usr/share/{applications/kinaru.desktop,icons/hicolor/scalable/apps/kinaru.svg} \
  /usr/share/{kio/servicemenus,file-manager/actions}/kinaru-compress.desktop /usr/share/nemo/actions/kinaru-compress.nemo_action; do
  grep -qxF -- "$path" <<<"$files" || fail "the package lacks $path"
done
for stub in "$build"/bin/kinaru-sfx-*.exe; do  # the Windows stubs, when built
  [ ! -e "$stub" ] || grep -qxF "/usr/lib/kinaru/${stub##*/}" <<<"$files" || fail "the package lacks ${stub##*/}"
done

# Errors fail the test; warnings are shown in its log.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

export DEBIAN_FRONTEND=noninteractive
at_exit "dpkg-query -W kinaru >/dev/null 2>&1 && apt-get purge -y -q kinaru >/dev/null 2>&1"
# What the package brings in beyond itself must already be here: no network.
apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 ||
  fail "apt-get could not install the package: $(cat "$work/apt.log")"
[ "$(command -v kinaru)" = /usr/bin/kinaru ] || fail "kinaru is not on the PATH"
installed=$(ls -A /usr/lib/kinaru)

# A person's first run, from a folder elsewhere: the archive goes to the
# home folder, the settings to ~/.config/kinaru, nothing into the install.
export HOME=$work/home
unset XDG_CONFIG_HOME
mkdir -p "$HOME" "$work/data" "$work/elsewhere" "$work/check"
printf 'first file\n' >"$work/data/one.txt"
head -c 200000 /dev/urandom >"$work/data/two.bin"
cd "$work/elsewhere" || fail "no folder $work/elsewhere"
desktop_start
launch kinaru "$work/data/one.txt" "$work/data/two.bin"
window=$(wait_window "^Kinaru - ") || fail "no compression dialog appeared"
send_keys "$window" Return
expect_exit
(cd "$work/check" && lhasa xq "$HOME/one.lzh") || fail "no archive in the home folder: $(ls -A "$HOME")"
cmp "$work/check/one.txt" "$work/data/one.txt" && cmp "$work/check/two.bin" "$work/data/two.bin" ||
  fail "the packed files differ"
grep -q '^\[SETTING\]' "$HOME/.config/kinaru/kinaru.ini" || fail "no settings in ~/.config/kinaru"
[ "$(ls -A /usr/lib/kinaru)" = "$installed" ] || fail "the program wrote into its install: $(ls -A /usr/lib/kinaru)"
# /usr/bin holds links: the library and the stubs are found beside the real
# programs (a copy there would find neither).
(cd "$work/check" && unlha s -linux "$HOME/one.lzh" >/dev/null && ./one --console --dest="$work/check/sfx" >/dev/null) ||
  fail "the installed unlha wrote no working Linux self-extractor"
cmp "$work/check/sfx/one.txt" "$work/data/one.txt" || fail "the self-extractor gave back another file"
if [ -e /usr/lib/kinaru/kinaru-sfx-console.exe ]; then
  (cd "$work/check" && unlha s "$HOME/one.lzh" >/dev/null && unlha t one.exe >/dev/null) ||
    fail "the installed unlha wrote no Windows self-extractor"
fi

# Slim Docker images tell dpkg to leave manual pages out: read them from the package there.
if [ ! -e /usr/share/man/man1/kinaru.1.gz ]; then
  grep -rqs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d || fail "the manual pages were not installed"
  echo "NOTE: dpkg excludes /usr/share/man here; reading the pages from the package"
  dpkg-deb -x "$deb" "$work/unpacked"
  export MANPATH=$work/unpacked/usr/share/man
fi
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man kinaru 2>&1) || fail "man kinaru failed: $page"
page=$(tr -s '[:space:]' ' ' <<<"$page")  # filled and justified lines
[[ $page == *"kinaru - pack files and folders"* && $page == *"Every argument is a path to pack"* ]] ||
  fail "man kinaru shows: $page"
page=$(MANWIDTH=80 man kinaru 2>&1) || fail "man kinaru failed in Japanese: $page"
[[ $page == *"引数はすべて圧縮するパスです"* ]] || fail "man kinaru in ja_JP.UTF-8 shows: $page"
[[ $(LC_ALL=C.UTF-8 man unlha 2>&1) == *--version* ]] || fail "man unlha does not render"

cd /
apt-get purge -y -q -o DPkg::Lock::Timeout=300 kinaru >"$work/apt.log" 2>&1 ||
  fail "apt-get could not purge the package: $(cat "$work/apt.log")"
! dpkg-query -W kinaru >/dev/null 2>&1 || fail "dpkg still knows the package: $(dpkg-query -W kinaru)"
left=""
while IFS= read -r path; do
  if [ -L "$path" ] || [ -f "$path" ]; then
    left+=" $path"
  elif [ -d "$path" ] && [ -z "$(dpkg-query -S "$path" 2>/dev/null)" ]; then
    left+=" $path"  # a folder no other package holds
  fi
done <<<"$files"
[ -z "$left" ] || fail "left after purge:$left"
[ -z "$(ls /var/lib/dpkg/info/kinaru.* 2>/dev/null)" ] || fail "dpkg's records of the package are left"
