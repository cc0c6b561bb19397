#!/usr/bin/env bash
# deps.sh GROUP...: makes sure what the make targets of the GROUPs need is
# there; the one installer of packages for the Makefile and every script.
#
# Where apt-get and dpkg exist and it runs as root, it installs the missing
# Debian packages with apt-get. Anywhere else it only names what is missing
# (the Debian package name and what it is, so that it can be found in any
# distribution) and leaves it to the build's own checks to report what is
# really missing. It never fails on its own account.
set -uo pipefail

# Debian package | groups that need it | a command it provides (- for a
# library, which only the package database can find) | what it is.
read -r -d '' table <<'EOF'
cmake|build demo check package fuzz bench cross|cmake|CMake 3.16 or later
make|build demo check package fuzz bench cross|make|GNU make
g++|build demo check package bench cross|c++|a C++17 compiler (GCC or Clang)
gzip|build demo check package fuzz bench|gzip|gzip, which compresses the installed man pages
python3|demo|python3|Python 3 (writes the disk dump of mobrick's demo)
libgtest-dev|check|-|GoogleTest, the C++ test framework, with its CMake files
libgif-dev|check fuzz|-|giflib, a GIF library, headers (decodes our GIFs in the tests)
libdsk-utils|check bench|dsktrans|libdsk's tools dsktrans and dskform (read our DSK images, write images for the tests)
strace|check|strace|strace, which injects signals and failed calls into the tests' runs
perl-base|check|perl|Perl, whose IO::Socket::UNIX makes a socket for a test of mobrick
cpmtools|check|fsck.cpm|cpmtools, CP/M file system tools (fsck.cpm checks formatted images)
groff-base|check|groff|groff, the man page formatter (man page check)
mandoc|check|mandoc|mandoc, a man page formatter and checker (man page check)
bash-completion|check|-|bash-completion, whose generic completer serves zelnor (bash completion check)
zsh|check|zsh|the Z shell (zsh completion check; skipped without it)
fish|check|fish|the fish shell (fish completion check; skipped without it)
shellcheck|check|shellcheck|ShellCheck, a shell script checker (skipped without it)
lintian|check|lintian|lintian, Debian's package checker (package check)
dpkg-dev|package|dpkg-shlibdeps|dpkg-shlibdeps, which works out a Debian package's library dependencies
clang|fuzz|clang++|the Clang C++ compiler
libclang-rt-dev|fuzz|-|Clang's libFuzzer and sanitizer runtime libraries
libbenchmark-dev|bench|-|Google Benchmark, a C++ micro-benchmark library, with its CMake files
python3-pil|bench|python3|Python 3 with PIL (Pillow), an imaging library (GIF speed comparison)
hyperfine|bench|hyperfine|hyperfine, a command-line benchmarking tool
g++-s390x-linux-gnu|cross|s390x-linux-gnu-g++|a C++ cross compiler for s390x, with its static C library
g++-i686-linux-gnu|cross|i686-linux-gnu-g++|a C++ cross compiler for i686, with its static C library
qemu-user|cross|qemu-s390x|qemu-user, which runs programs of other machines
EOF

# is_missing PACKAGE PROBE: PACKAGE is not installed, as far as can be told.
is_missing() {
  if command -v dpkg-query > /dev/null; then
    [[ "$(dpkg-query -W -f='${Status}' "$1" 2> /dev/null)" != "install ok installed" ]]
  else
    [[ $2 == - ]] || ! command -v "$2" > /dev/null
  fi
}

missing=() lines=()
for group in "$@"; do
  found=0
  while IFS='|' read -r package groups probe what; do
    [[ " $groups " == *" $group "* ]] || continue
    found=1
    [[ " ${missing[*]-} " != *" $package "* ]] && is_missing "$package" "$probe" || continue
    missing+=("$package") lines+=("$(printf '  %-20s %s' "$package" "$what")")
  done <<< "$table"
  ((found)) || echo "deps.sh: unknown group $group" >&2
done
((${#missing[@]})) || exit 0

if [[ $(id -u) -eq 0 ]] && command -v apt-get > /dev/null && command -v dpkg-query > /dev/null; then
  echo "Installing: ${missing[*]}"
  # Another apt-get or dpkg run may hold the lock for a while: wait for it.
  apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -qq)
  "${apt[@]}" update && "${apt[@]}" install -y --no-install-recommends "${missing[@]}" ||
    echo "deps.sh: apt-get could not install ${missing[*]}; going on, the build names what is missing" >&2
  exit 0
fi
echo "deps.sh: this target needs the following, which is not found here (Debian's"
echo "package names, and what each one is, to find it in any distribution):"
printf '%s\n' "${lines[@]}"
command -v apt-get > /dev/null && echo "Install them with: sudo apt-get install ${missing[*]}"
exit 0
