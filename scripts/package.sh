#!/usr/bin/env bash
# package.sh BUILD [OUT]: makes the Debian package (with CPack, where
# dpkg-shlibdeps is) and the .tar.gz of the install tree from the programs
# built in BUILD, into OUT (default BUILD/packages).
#
# Two runs on one commit give the same bytes: every time stamp in both files
# is SOURCE_DATE_EPOCH (unless it is set already, the last commit's time, or
# where there is no git checkout the date of CHANGELOG.md's latest release),
# the .tar.gz lists its files in name order with owner and group 0, and gzip
# stores no name and no time.
set -euo pipefail
# The folders that the installs make, and the files that CPack writes, take
# their modes from the umask.
umask 022
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=${2:-$build/packages}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cpack_value() { sed -n "s/^set($1 \"\(.*\)\")$/\1/p" "$build/CPackConfig.cmake"; }

if [[ -z ${SOURCE_DATE_EPOCH-} && -e $top/.git ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct 2> /dev/null) || true
fi
if [[ -z ${SOURCE_DATE_EPOCH-} ]]; then
  SOURCE_DATE_EPOCH=$(date -u -d "$(sed -n 's/^Released \(.*\)\.$/\1/p' "$top/CHANGELOG.md" | head -n 1)" +%s)
fi
export SOURCE_DATE_EPOCH

# CPack writes the Installed-Size field from the sizes that stat gives for the
# files and folders it staged, and a folder's size is the filesystem's own
# (4096 bytes on ext4, less on tmpfs): the .deb is the same to the bit where
# it is made on the same kind of filesystem.
if command -v dpkg-shlibdeps > /dev/null; then
  (cd "$build" && cpack -G DEB -B "$out")
  rm -rf "$out/_CPack_Packages"
else
  echo "package.sh: no dpkg-shlibdeps (Debian: dpkg-dev), so no Debian package: only the .tar.gz"
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
top_folder=$(cpack_value CPACK_PACKAGE_NAME)-$(cpack_value CPACK_PACKAGE_VERSION)-Linux
cmake --install "$build" --prefix "$stage/$top_folder" --component Unspecified --strip > /dev/null
tar --create --format=gnu --sort=name --mtime="@$SOURCE_DATE_EPOCH" \
    --owner=0 --group=0 --numeric-owner --mode=go-w -C "$stage" "$top_folder" |
  gzip -9n > "$out/$top_folder.tar.gz"
echo "package.sh: $top_folder.tar.gz generated in $out"
