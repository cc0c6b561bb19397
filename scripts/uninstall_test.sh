#!/usr/bin/env bash
# uninstall_test.sh BUILD: make install into a DESTDIR, then make uninstall
# with the same DESTDIR and PREFIX, three times: alone (nothing is left but
# PREFIX and its own folders bin and share), with files and a folder of someone else's inside PREFIX
# (they stay, with the folders that hold them) and with another PREFIX
# (refused, nothing removed). BUILD's own install_manifest.txt is put back
# afterwards, so that a real install can still be undone.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$1
source "$top/testing/expect.sh"

manifest=$(cd "$top" && realpath -m "$build/install_manifest.txt")
work=$(mktemp -d)
[[ -e $manifest ]] && cp -p "$manifest" "$work/saved_manifest"
restore() {
  if [[ -e $work/saved_manifest ]]; then cp -p "$work/saved_manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap restore EXIT

dest=$work/root
prefix=/opt/pmz
# make TARGET: runs make TARGET with this DESTDIR and PREFIX; prints its status.
run_make() {
  make --no-print-directory -C "$top" BUILD="$build" DESTDIR="$dest" PREFIX="${2:-$prefix}" "$1" \
    > "$work/make.log" 2>&1
  echo $?
}
tree() { (cd "$dest" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort); }
installed_files=17

mkdir -p "$dest/opt"
echo other > "$dest/opt/other"
expect "install status" 0 "$(run_make install)"
expect "files under PREFIX" "$installed_files" "$(find "$dest$prefix" -type f | wc -l)"
expect "uninstall status" 0 "$(run_make uninstall)"
expect "tree after uninstall" "opt
opt/other
opt/pmz
opt/pmz/bin
opt/pmz/share" "$(tree)"

expect "second install status" 0 "$(run_make install)"
echo other > "$dest$prefix/share/man/man1/other.1"
mkdir "$dest$prefix/share/doc/other"
expect "uninstall status with other files" 0 "$(run_make uninstall)"
expect "tree after uninstall with other files" "opt
opt/other
opt/pmz
opt/pmz/bin
opt/pmz/share
opt/pmz/share/doc
opt/pmz/share/doc/other
opt/pmz/share/man
opt/pmz/share/man/man1
opt/pmz/share/man/man1/other.1" "$(tree)"
expect "other man page" other "$(cat "$dest$prefix/share/man/man1/other.1")"

rm -rf "$dest$prefix"
expect "third install status" 0 "$(run_make install)"
expect "uninstall status with another PREFIX" 2 "$(run_make uninstall /opt/else)"
expect "message of uninstall with another PREFIX" \
  "uninstall.sh: $build/install_manifest.txt lists $prefix/bin/zelnor, which is not under /opt/else: install and uninstall with the same PREFIX" \
  "$(grep '^uninstall.sh:' "$work/make.log")"
expect "files kept with another PREFIX" "$installed_files" "$(find "$dest$prefix" -type f | wc -l)"

finish
