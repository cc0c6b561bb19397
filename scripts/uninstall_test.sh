#!/usr/bin/env bash
# uninstall_test.sh BUILD: make install into a DESTDIR, make uninstall with
# another PREFIX (refused, nothing removed), then with the same one beside a
# file and a folder of someone else's inside PREFIX (nothing of the install is
# left but PREFIX's own folders bin and share; the others' files stay, with
# the folders that hold them). BUILD's own install_manifest.txt is put back
# afterwards, so that a real install can still be undone.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$1
source "$top/testing/expect.sh"
manifest=$(cd "$top" && realpath -m "$build/install_manifest.txt")
work=$(mktemp -d)
[[ -e $manifest ]] && cp -p "$manifest" "$work/saved_manifest"
trap 'mv "$work/saved_manifest" "$manifest" 2> /dev/null || rm -f "$manifest"; rm -rf "$work"' EXIT
dest=$work/root prefix=/opt/pmz

# make_step TARGET [PREFIX [STATUS]]: make TARGET with this DESTDIR and PREFIX
# ends with STATUS (0).
make_step() {
  make --no-print-directory -C "$top" BUILD="$build" DESTDIR="$dest" PREFIX="${2:-$prefix}" "$1" \
    > "$work/make.log" 2>&1
  expect "status of make $1 with PREFIX=${2:-$prefix}" "${3:-0}" "$?"
}

mkdir -p "$dest/opt"
echo other > "$dest/opt/other"
make_step install
make_step uninstall /opt/else 2
expect "message of uninstall with another PREFIX" "uninstall.sh: $build/install_manifest.txt lists \
$prefix/bin/zelnor, which is not under /opt/else: install and uninstall with the same PREFIX" \
  "$(grep '^uninstall.sh:' "$work/make.log")"
expect "files kept by uninstall with another PREFIX" 17 "$(find "$dest$prefix" -type f | wc -l)"

echo other > "$dest$prefix/share/man/man1/other.1"
mkdir "$dest$prefix/share/doc/other"
make_step uninstall
expect "tree left beside other files" "opt
opt/other
opt/pmz
opt/pmz/bin
opt/pmz/share
opt/pmz/share/doc
opt/pmz/share/doc/other
opt/pmz/share/man
opt/pmz/share/man/man1
opt/pmz/share/man/man1/other.1" "$(cd "$dest" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)"
expect "other.1 left" other "$(cat "$dest$prefix/share/man/man1/other.1")"

finish
