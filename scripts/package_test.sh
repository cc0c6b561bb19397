#!/usr/bin/env bash
# package_test.sh BUILD: checks the packages that `make package` made in
# BUILD/packages. It runs lintian on the Debian package, makes both packages
# a second time and compares the bytes, unpacks the .tar.gz and the Debian
# package (with dpkg-deb -x) into a temporary root, checks their fields and
# files, and runs each program from there and from BUILD on the same input:
# both runs must give the same output. Without dpkg-deb only the .tar.gz is
# there to check.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
packages=$build/packages
source "$top/testing/expect.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack_value() { sed -n "s/^set($1 \"\(.*\)\")$/\1/p" "$build/CPackConfig.cmake"; }
name=$(cpack_value CPACK_PACKAGE_NAME)
version=$(cpack_value CPACK_PACKAGE_VERSION)
contact=$(cpack_value CPACK_PACKAGE_CONTACT)
holders=$(sed -n 's/^Copyright (c) //p' "$top/LICENSE")
top_folder=$name-$version-Linux
# Each file is checked by name below: here their number.
installed_files=17
modes="-rw-r--r--
-rwxr-xr-x
drwxr-xr-x"

# In name order, not in the order that the filesystem lists a folder.
members=$(tar -tzf "$packages/$top_folder.tar.gz")
expect "members of the .tar.gz in name order" "$(LC_ALL=C sort <<< "$members")" "$members"
expect "modes in the .tar.gz" "$modes" "$(tar -tvzf "$packages/$top_folder.tar.gz" | cut -c1-10 | LC_ALL=C sort -u)"
tar -xzf "$packages/$top_folder.tar.gz" -C "$work"
prefix=$work/$top_folder
expect "number of files in the .tar.gz" "$installed_files" "$(find "$prefix" -type f | wc -l)"
made=("$top_folder.tar.gz")

if command -v dpkg-deb > /dev/null; then
  deb=${name}_${version}_$(dpkg --print-architecture).deb
  made+=("$deb")
  expect "fields of the Debian package" "Package: $name
Version: $version
Section: otherosfs
Maintainer: $contact" "$(dpkg-deb -f "$packages/$deb" Package Version Section Maintainer)"
  expect "packages in Depends" "libc6 libgcc-s1 libstdc++6" \
    "$(dpkg-deb -f "$packages/$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | paste -sd ' ')"
  expect "modes in the Debian package" "$modes" "$(dpkg-deb -c "$packages/$deb" | cut -c1-10 | LC_ALL=C sort -u)"
  dpkg-deb -x "$packages/$deb" "$work/deb"
  expect "files of the Debian package against the .tar.gz's" "" "$(diff -r "$prefix" "$work/deb/usr" 2>&1)"
  prefix=$work/deb/usr
  # At its default level lintian prints errors and warnings only.
  expect "lintian's report" "" "$(lintian --allow-root "$packages/$deb" 2>&1)"
fi

# Made again, a second or more later, the packages hold the same bytes.
sleep 1
"$top/scripts/package.sh" "$build" "$work/again" > "$work/again.log" 2>&1 ||
  expect "second package.sh run" "done" "$(cat "$work/again.log")"
for file in "${made[@]}"; do
  expect "$file made twice" "" "$(cmp "$packages/$file" "$work/again/$file" 2>&1)"
done

# same INSTALLED SOURCE: the installed file is SOURCE; a .gz one compressed
# without name and time (bytes 3 to 7 of a gzip file: flags, among them 8 for
# a name, then the time).
same() {
  if [[ $1 == *.gz ]]; then
    expect "$1 is $2 compressed" "" "$(gzip -dc "$prefix/$1" | cmp - "$2" 2>&1)"
    expect "$1 flags and time" " 00 00 00 00 00" "$(od -A n -t x1 -j 3 -N 5 "$prefix/$1")"
  else
    expect "$1 is $2" "" "$(cmp "$prefix/$1" "$2" 2>&1)"
  fi
}
for p in pixtrel mobrick zelnor; do same "share/man/man1/$p.1.gz" "$top/$p/$p.1"; done
for p in pixtrel zelnor; do
  same "share/bash-completion/completions/$p" "$top/$p/completion/$p.bash"
  same "share/zsh/site-functions/_$p" "$top/$p/completion/_$p"
  same "share/fish/vendor_completions.d/$p.fish" "$top/$p/completion/$p.fish"
done
doc=$prefix/share/doc/$name
for f in README.md LICENSE CHANGELOG.md; do same "share/doc/$name/$f" "$top/$f"; done
same "share/doc/$name/changelog.gz" "$build/debian/changelog"
expect "latest entry of the Debian changelog" "$name ($version) unstable; urgency=medium" \
  "$(gzip -dc "$doc/changelog.gz" | head -n 1)"
expect "head of the copyright file" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: $name
Upstream-Contact: $contact

Files: *
Copyright: $holders
License: Expat" "$(head -n 7 "$doc/copyright")"
expect "license text of the copyright file" "$(sed -n '/^Permission/,$p' "$top/LICENSE")" \
  "$(tail -n +8 "$doc/copyright" | sed 's/^ //; s/^\.$//')"

# run_programs FOLDER PIXTREL MOBRICK ZELNOR: one run of each on inputs made
# in FOLDER, with their outputs and exit statuses kept there.
run_programs() {
  mkdir "$1" && cd "$1" || return
  printf abc > abc.txt && head -c 6912 /dev/zero > blank.scr
  "$2" blank.scr > pixtrel.out 2> pixtrel.err; echo "pixtrel $?" >> status
  printf '5\no\n6\n' | "$3" > mobrick.out 2> mobrick.err; echo "mobrick $?" >> status
  "$4" abc.txt > zelnor.out 2> zelnor.err; echo "zelnor $?" >> status
}
(run_programs "$work/from-build" "$build"/{pixtrel/pixtrel,mobrick/mobrick,zelnor/zelnor})
(run_programs "$work/from-package" "$prefix"/bin/{pixtrel,mobrick,zelnor})
ran=$work/from-package
expect "runs from the package and from the build" "" "$(diff -r "$work/from-build" "$ran")"
expect "exit statuses" $'pixtrel 0\nmobrick 0\nzelnor 0' "$(cat "$ran/status")"
expect "start of blank.gif" GIF87a "$(head -c 6 "$ran/blank.gif")"
expect "start of default.dsk" "MV - CPCEMU" "$(head -c 11 "$ran/default.dsk")"
expect "start of zelnor's line" "abc.txt: 16458," "$(cut -d ' ' -f 1-2 "$ran/zelnor.out")"

finish
