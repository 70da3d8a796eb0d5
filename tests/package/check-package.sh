#!/usr/bin/env bash
# The Debian package as a maintainer and a desktop user meet it:
#  1. cpack makes it; lintian finds no error and no warning;
#  2. its desktop entry passes desktop-file-validate, its AppStream metadata
#     appstreamcli validate, its man page groff without a warning; each icon is
#     as large as its hicolor folder says; the changelog names the package's
#     version and the copyright file is machine-readable;
#  3. as root: it installs, installs again over itself, and purges leaving
#     nothing behind (dpkg's list of it gone, none of its files left).
# usage: check-package.sh BUILD_DIR      (exit 77: skipped, with the reason)
set -euo pipefail
build=$(cd "$1" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-parsechangelog lintian desktop-file-validate appstreamcli man python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (tools/setup-debian.sh installs it)"
done
work=$(mktemp -d /tmp/pyrelume-package.XXXXXX)
installed_here=0
cleanup() {
  # A failed check does not leave the package installed.
  if [ "$installed_here" = 1 ]; then dpkg --purge pyrelume >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# ---- 1. The package and lintian.
(cd "$build" && cpack -B "$work/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$work" >"$work/cpack.log" 2>&1) ||
  fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/pyrelume_*.deb)
version=$(dpkg-deb -f "$deb" Version)
rc=0
lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.out" 2>&1 || rc=$?
sed -i '/^running with root privileges/d' "$work/lintian.out"
[ "$rc" -eq 0 ] || fail "lintian: $(grep -E '^[EW]:' "$work/lintian.out" || cat "$work/lintian.out")"
echo "ok 1: $(basename "$deb"): lintian finds no error or warning ($(grep -c '^I:' "$work/lintian.out" || true) infos)"

# ---- 2. What the desktop, software centres and man read.
root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$(ls "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate: $(basename "$desktop")"
grep -qx 'Name=Pyrelume Fireplace' "$desktop" && grep -qx 'Exec=pyrelume -fullscreen' "$desktop" ||
  fail "the desktop entry does not start \"Pyrelume Fireplace\" as pyrelume -fullscreen"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" >"$work/appstream.out" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.out")"
[ "$(basename "$metainfo" .metainfo.xml).desktop" = "$(basename "$desktop")" ] ||
  fail "the AppStream id and the desktop entry's name differ"
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
  "$root/usr/share/man/man6/pyrelume.6.gz" 2>"$work/man.err" >/dev/null
[ ! -s "$work/man.err" ] || fail "groff warns about the man page: $(cat "$work/man.err")"
icon=$(sed -n 's/^Icon=//p' "$desktop")
python3 - "$root/usr/share/icons/hicolor" "$icon" <<'PY' || fail "the icons do not match their folders"
import os, struct, sys
root, name = sys.argv[1], sys.argv[2]
sizes = sorted(os.listdir(root), key=lambda d: int(d.split("x")[0]))
for d in sizes:
    with open(os.path.join(root, d, "apps", name + ".png"), "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", d
    w, h = struct.unpack(">II", head[16:24])
    assert f"{w}x{h}" == d, f"{d} holds a {w}x{h} picture"
assert {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"} <= set(sizes), sizes
print(" ".join(sizes))
PY
gzip -dc "$root/usr/share/doc/pyrelume/changelog.gz" >"$work/changelog"
changes=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$changes" = "$version" ] || fail "the changelog's last entry is $changes, the package is $version"
head -n1 "$root/usr/share/doc/pyrelume/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
echo "ok 2: desktop entry, AppStream metadata, man page, icons, changelog ($version) and copyright file"

# ---- 3. Install, again over itself, purge.
[ "$(id -u)" -eq 0 ] || skip "install, reinstall and purge need root (the checks above passed)"
# One check at a time on this machine; dpkg's own lock may be held by apt for a while.
exec 9>/tmp/pyrelume-package-check.lock
flock -w 300 9 || fail "another package check holds /tmp/pyrelume-package-check.lock"
if dpkg-query -W -f='${Status}' pyrelume 2>/dev/null | grep -q ' installed$'; then
  skip "pyrelume $(dpkg-query -W -f='${Version}' pyrelume) is installed on this machine; the check would replace" \
       "and purge it (dpkg --purge pyrelume, then run it again)"
fi
dpkg_do() {
  local try
  for try in $(seq 1 60); do
    if dpkg "$@" >"$work/dpkg.out" 2>&1; then return 0; fi
    grep -q 'lock' "$work/dpkg.out" || return 1
    sleep 2
  done
  return 1
}
installed_here=1
dpkg_do -i "$deb" || fail "dpkg -i: $(cat "$work/dpkg.out")"
dpkg-query -L pyrelume | sort >"$work/files"
while read -r f; do
  [ -e "$f" ] || [ -L "$f" ] || fail "dpkg lists $f, which is not there after the install"
done <"$work/files"
[ "$(command -v pyrelume)" = /usr/bin/pyrelume ] || fail "pyrelume is not on the PATH after the install"
pyrelume -help | grep -q -- '-fullscreen' || fail "the installed pyrelume does not run"
[ "$(man -w pyrelume)" = /usr/share/man/man6/pyrelume.6.gz ] || fail "man does not find pyrelume(6)"
dpkg_do -i "$deb" || fail "dpkg -i over itself: $(cat "$work/dpkg.out")"
dpkg-query -W -f='${Status} ${Version}' pyrelume | grep -qx "install ok installed $version" ||
  fail "after installing over itself: $(dpkg-query -W -f='${Status} ${Version}' pyrelume)"
cmp -s "$root/usr/libexec/xscreensaver/pyrelume" /usr/libexec/xscreensaver/pyrelume ||
  fail "installing over itself left another program"
dpkg_do --purge pyrelume || fail "dpkg --purge: $(cat "$work/dpkg.out")"
installed_here=0
! dpkg-query -L pyrelume >/dev/null 2>&1 || fail "dpkg still lists pyrelume's files after the purge"
left=()
while read -r f; do
  # Folders it shares with other packages stay; its own files and folders go.
  if [ -L "$f" ] || [ -f "$f" ] || { [ -d "$f" ] && [[ "$f" == *pyrelume* ]]; }; then left+=("$f"); fi
done <"$work/files"
mapfile -t -O "${#left[@]}" left < <(find /usr/share /usr/libexec /usr/bin /var/lib/dpkg/info \
  -name '*pyrelume*' -o -name '*Pyrelume*' 2>/dev/null)
[ "${#left[@]}" -eq 0 ] || fail "left behind after the purge: ${left[*]}"
echo "ok 3: installed ($(wc -l <"$work/files") paths), installed over itself, purged with nothing left behind"
