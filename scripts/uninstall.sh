#!/usr/bin/env bash
# uninstall.sh MANIFEST DESTDIR PREFIX: undoes `make install` with that
# DESTDIR and PREFIX. It removes each file that MANIFEST (CMake's
# install_manifest.txt of the install) lists, then each folder above those
# files that this leaves empty, up to but not including the prefix's own
# folders (PREFIX/bin, PREFIX/share), which other software shares.
# PREFIX may be relative, as for cmake --install: to the current folder.
#
# When a listed file lies outside PREFIX (the install was made with another
# PREFIX), nothing at all is removed and the exit status is 1.
set -euo pipefail
manifest=$1 destdir=$2
prefix=$(realpath -ms "$3")
[[ $prefix == / ]] && prefix=""

if [[ ! -f $manifest ]]; then
  echo "uninstall.sh: no $manifest: nothing was installed from this build" >&2
  exit 1
fi
files=()
while IFS= read -r file || [[ -n $file ]]; do
  [[ -n $file ]] || continue
  if [[ $file != "$prefix"/* ]]; then
    echo "uninstall.sh: $manifest lists $file, which is not under ${prefix:-/}:" \
         "install and uninstall with the same PREFIX" >&2
    exit 1
  fi
  files+=("$file")
done < "$manifest"

for file in "${files[@]}"; do
  if [[ -e $destdir$file || -L $destdir$file ]]; then
    echo "-- Removing: $destdir$file"
    rm -f "$destdir$file"
  else
    echo "-- Not there: $destdir$file"
  fi
done
# Every file is gone by now, so a folder that is still not empty holds
# someone else's files: it stays, and so do the folders above it.
for file in "${files[@]}"; do
  folder=$(dirname "$file")
  while [[ $folder == "$prefix"/*/* ]]; do
    [[ -d $destdir$folder && ! -L $destdir$folder && -z $(ls -A "$destdir$folder") ]] || break
    echo "-- Removing folder: $destdir$folder"
    rmdir "$destdir$folder"
    folder=$(dirname "$folder")
  done
done
