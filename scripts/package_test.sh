#!/usr/bin/env bash
# package_test.sh BUILD: checks the packages that `make package` made in
# BUILD/packages. It runs lintian on the Debian package, makes both packages
# a second time and compares the bytes, unpacks the .tar.gz and the Debian
# package (with dpkg-deb -x) into a temporary root, checks their fields and
# files, and runs each installed program once from there. Without dpkg-deb
# only the .tar.gz is there to check.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
packages=$build/packages
source "$top/testing/expect.sh"

name=pixtrel-mobrick-zelnor
version=1.1.0
contact="pixtrel-mobrick-zelnor authors <authors@pixtrel-mobrick-zelnor.example.org>"
tarball=$name-$version-Linux.tar.gz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected_files="bin/mobrick
bin/pixtrel
bin/zelnor
share/bash-completion/completions/pixtrel
share/bash-completion/completions/zelnor
share/doc/$name/CHANGELOG.md
share/doc/$name/LICENSE
share/doc/$name/README.md
share/doc/$name/changelog.gz
share/doc/$name/copyright
share/fish/vendor_completions.d/pixtrel.fish
share/fish/vendor_completions.d/zelnor.fish
share/man/man1/mobrick.1.gz
share/man/man1/pixtrel.1.gz
share/man/man1/zelnor.1.gz
share/zsh/site-functions/_pixtrel
share/zsh/site-functions/_zelnor"
files_under() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

# In name order, not in the order that the filesystem lists a folder.
members=$(tar -tzf "$packages/$tarball")
expect "members of the .tar.gz in name order" "$(LC_ALL=C sort <<< "$members")" "$members"
modes="-rw-r--r--
-rwxr-xr-x
drwxr-xr-x"
expect "modes in the .tar.gz" "$modes" "$(tar -tvzf "$packages/$tarball" | cut -c1-10 | LC_ALL=C sort -u)"
mkdir "$work/tgz"
tar -xzf "$packages/$tarball" -C "$work/tgz"
expect "files in the .tar.gz" "$expected_files" "$(files_under "$work/tgz/$name-$version-Linux")"
prefix=$work/tgz/$name-$version-Linux
made=("$tarball")

if command -v dpkg-deb > /dev/null; then
  deb=$(ls "$packages"/*.deb)
  made+=("$(basename "$deb")")
  expect "Debian package file" "${name}_${version}_$(dpkg --print-architecture).deb" "$(basename "$deb")"
  expect "Package" "$name" "$(dpkg-deb -f "$deb" Package)"
  expect "Version" "$version" "$(dpkg-deb -f "$deb" Version)"
  expect "Section" "otherosfs" "$(dpkg-deb -f "$deb" Section)"
  expect "Maintainer" "$contact" "$(dpkg-deb -f "$deb" Maintainer)"
  depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | tr '\n' ' ')
  expect "packages in Depends" "libc6 libgcc-s1 libstdc++6 " "$depends"
  expect "modes in the Debian package" "$modes" "$(dpkg-deb -c "$deb" | cut -c1-10 | LC_ALL=C sort -u)"
  mkdir "$work/deb"
  dpkg-deb -x "$deb" "$work/deb"
  expect "files in the Debian package" "$expected_files" "$(files_under "$work/deb/usr")"
  for p in pixtrel mobrick zelnor; do
    cmp -s "$prefix/bin/$p" "$work/deb/usr/bin/$p" ||
      expect "bin/$p of the Debian package" "the .tar.gz's" "other bytes"
  done
  prefix=$work/deb/usr

  # At its default level lintian prints errors and warnings only.
  if command -v lintian > /dev/null; then
    root_option=()
    [[ $(id -u) -eq 0 ]] && root_option=(--allow-root)
    expect "lintian's report" "" "$(lintian "${root_option[@]}" "$deb" 2>&1)"
  else
    expect "lintian (Debian: lintian)" "installed" "missing"
  fi
fi

# Made again, a second or more later, the packages hold the same bytes.
sleep 1
"$top/scripts/package.sh" "$build" "$work/again" > "$work/again.log" 2>&1 ||
  expect "second package.sh run" "done" "$(cat "$work/again.log")"
for file in "${made[@]}"; do
  cmp -s "$packages/$file" "$work/again/$file" || expect "$file made twice" "same bytes" "different or missing"
done

same() {  # same INSTALLED SOURCE: the installed file is the source file
  if cmp -s "$prefix/$1" "$top/$2"; then return; fi
  expect "$1 is $2" "same bytes" "different or missing"
}
same_gzipped() {  # same_gzipped INSTALLED SOURCE: the same, compressed without name or time
  if gzip -dc "$prefix/$1" 2> /dev/null | cmp -s - "$top/$2"; then :; else
    expect "$1 is $2 compressed" "same bytes" "different or missing"
  fi
  # Bytes 3 to 7 of a gzip file: flags (1 name, 2 header check, 4 extra,
  # 8 name, 16 comment) and the time.
  expect "$1 flags and time" " 00 00 00 00 00" "$(od -A n -t x1 -j 3 -N 5 "$prefix/$1")"
}
for p in pixtrel mobrick zelnor; do same_gzipped share/man/man1/$p.1.gz $p/$p.1; done
for p in pixtrel zelnor; do
  same share/bash-completion/completions/$p $p/completion/$p.bash
  same share/zsh/site-functions/_$p $p/completion/_$p
  same share/fish/vendor_completions.d/$p.fish $p/completion/$p.fish
done
for f in README.md LICENSE CHANGELOG.md; do same share/doc/$name/$f $f; done
same_gzipped share/doc/$name/changelog.gz packaging/changelog

# The Debian changelog tells CHANGELOG.md's releases, newest first, and is
# signed with the package's contact.
doc=$prefix/share/doc/$name
expect "releases in the Debian changelog" "$(sed -n 's/^## \([0-9.]*\)$/\1/p' "$top/CHANGELOG.md")" \
  "$(gzip -dc "$doc/changelog.gz" | sed -n "s/^$name (\\([^)]*\\)) .*/\\1/p")"
expect "latest release" "$version" "$(gzip -dc "$doc/changelog.gz" | sed -n "1s/^$name (\\([^)]*\\)).*/\\1/p")"
expect "signature of the Debian changelog" "$contact" \
  "$(gzip -dc "$doc/changelog.gz" | sed -n 's/^ -- \(.*>\)  .*/\1/p' | sort -u)"
expect "head of the copyright file" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: $name
Upstream-Contact: $contact

Files: *
Copyright: 2026 The authors of pixtrel, mobrick and zelnor
License: Expat" "$(head -n 7 "$doc/copyright")"
expect "license text of the copyright file" "$(sed -n '/^Permission/,$p' "$top/LICENSE")" \
  "$(tail -n +8 "$doc/copyright" | sed 's/^ //; s/^\.$//')"

# The whole content of file $1, its last line break included, then <EOF>.
whole() { cat "$1"; echo "<EOF>"; }

cd "$work"

printf 'abc' > abc.txt
"$prefix/bin/zelnor" abc.txt > out 2> err
expect "zelnor status" 0 $?
expect "zelnor stdout" $'abc.txt: 16458,      3 bytes\n<EOF>' "$(whole out)"
expect "zelnor stderr" "Zelnor - checksum and length of files, by the Zelnor authors.
Zelnor comes with ABSOLUTELY NO WARRANTY; see the file LICENSE for details.

<EOF>" "$(whole err)"

head -c 6912 /dev/zero > blank.scr
"$prefix/bin/pixtrel" blank.scr > out 2> err
expect "pixtrel status" 0 $?
expect "pixtrel stdout" $'\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\nConverting blank.scr to blank.gif ... single image ... done\n<EOF>' "$(whole out)"
expect "pixtrel stderr" "<EOF>" "$(whole err)"
expect "blank.gif size" 380 "$(wc -c < blank.gif)"
expect "blank.gif signature" GIF87a "$(head -c 6 blank.gif)"

printf '5\no\n6\n' | "$prefix/bin/mobrick" > out 2> err
expect "mobrick status" 0 $?
menu=$'\n\n1) Set \'dd\' file\n2) Set Image file\n3) Copy \'dd\' file -> Image\n4) Copy Image -> \'dd\' file\n5) Format disk\n6) Quit\n\nYour choice: '
progress=""
for ((track = 0; track < 40; track++)); do progress+=$'\r'"Formatting track $track  head 0 ...  "; done
expect "mobrick stdout" $'\n\nMOBRICK v0.2\n(Transfer CPC/+3/PCW-disks to disk-images and vice versa)\n(and make newly formatted disks)'"$menu"$'formatting image file default.dsk\nSelect format :\nd)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex 9x512x80x2;\n+)3 dos 9x512x40x1; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: Ok.\n'"${progress}formatting ok."$'\n'"$menu<EOF>" "$(whole out)"
expect "mobrick stderr" "<EOF>" "$(whole err)"
expect "default.dsk size" 194816 "$(wc -c < default.dsk)"
expect "default.dsk magic" "MV - CPCEMU Disk-File" "$(head -c 21 default.dsk)"

finish
