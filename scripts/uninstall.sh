#!/usr/bin/env bash
# uninstall.sh MANIFEST DESTDIR PREFIX: undoes `make install` with that
# DESTDIR and PREFIX (which may be relative, as for cmake --install). It
# removes each file that MANIFEST (CMake's install_manifest.txt) lists, then
# each folder above them that this leaves empty, up to but not including
# PREFIX/bin and PREFIX/share, which other software shares. When a listed file
# lies outside PREFIX, it removes nothing and exits with status 1.
set -euo pipefail
manifest=$1 destdir=$2
prefix=$(realpath -ms "$3")
[[ $prefix == / ]] && prefix=""

[[ -f $manifest ]] || { echo "uninstall.sh: no $manifest: nothing was installed from this build" >&2; exit 1; }
mapfile -t files < <(grep -v '^$' "$manifest")
for file in "${files[@]}"; do
  if [[ $file != "$prefix"/* ]]; then
    echo "uninstall.sh: $manifest lists $file, which is not under ${prefix:-/}:" \
         "install and uninstall with the same PREFIX" >&2
    exit 1
  fi
done

for file in "${files[@]}"; do
  if [[ -e $destdir$file || -L $destdir$file ]]; then
    echo "-- Removing: $destdir$file"
    rm -f "$destdir$file"
  else
    echo "-- Not there: $destdir$file"
  fi
done
# Every file is gone by now: rmdir leaves a folder that still holds someone
# else's files, and the folders above it.
for file in "${files[@]}"; do
  folder=${file%/*}
  while [[ $folder == "$prefix"/*/* ]] && rmdir "$destdir$folder" 2> /dev/null; do
    echo "-- Removing folder: $destdir$folder"
    folder=${folder%/*}
  done
done
