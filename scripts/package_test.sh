#!/usr/bin/env bash
# package_test.sh BUILD: unpacks the package that `make package` made in
# BUILD/packages into a temporary root (the Debian package with dpkg-deb -x;
# without dpkg-deb, the .tar.gz), checks its fields and files, and runs each
# installed program once from there.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
packages=$(cd "$1/packages" && pwd)
source "$top/testing/expect.sh"

name=pixtrel-mobrick-zelnor
version=1.0.0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
mkdir "$root"

if command -v dpkg-deb > /dev/null; then
  deb=$(ls "$packages"/*.deb)
  expect "Debian package file" "${name}_${version}_$(dpkg --print-architecture).deb" "$(basename "$deb")"
  expect "Package" "$name" "$(dpkg-deb -f "$deb" Package)"
  expect "Version" "$version" "$(dpkg-deb -f "$deb" Version)"
  expect "Section" "otherosfs" "$(dpkg-deb -f "$deb" Section)"
  depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | tr '\n' ' ')
  expect "packages in Depends" "libc6 libgcc-s1 libstdc++6 " "$depends"
  dpkg-deb -x "$deb" "$root"
  prefix=$root/usr
else
  echo "no dpkg-deb here: the .tar.gz is checked instead of the Debian package"
  tar -xzf "$packages/$name-$version-Linux.tar.gz" -C "$root"
  prefix=$root/$name-$version-Linux
fi

expected_files="bin/mobrick
bin/pixtrel
bin/zelnor
share/bash-completion/completions/pixtrel
share/bash-completion/completions/zelnor
share/doc/$name/CHANGELOG.md
share/doc/$name/LICENSE
share/doc/$name/README.md
share/fish/vendor_completions.d/pixtrel.fish
share/fish/vendor_completions.d/zelnor.fish
share/man/man1/mobrick.1
share/man/man1/pixtrel.1
share/man/man1/zelnor.1
share/zsh/site-functions/_pixtrel
share/zsh/site-functions/_zelnor"
expect "files installed" "$expected_files" "$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"

same() {  # same INSTALLED SOURCE: the installed file is the source file
  if cmp -s "$prefix/$1" "$top/$2"; then return; fi
  expect "$1 is $2" "same bytes" "different or missing"
}
for p in pixtrel mobrick zelnor; do same share/man/man1/$p.1 $p/$p.1; done
for p in pixtrel zelnor; do
  same share/bash-completion/completions/$p $p/completion/$p.bash
  same share/zsh/site-functions/_$p $p/completion/_$p
  same share/fish/vendor_completions.d/$p.fish $p/completion/$p.fish
done
for f in README.md LICENSE CHANGELOG.md; do same share/doc/$name/$f $f; done

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
