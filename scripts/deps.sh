#!/usr/bin/env bash
# deps.sh GROUP...: makes sure what a make target needs is there.
#
# Where apt-get and dpkg exist and it runs as root, it installs the missing
# Debian packages with apt-get. Anywhere else it only names what the target
# needs that it cannot find (the Debian package name and what it is, so that
# it can be found in any distribution) and leaves it to CMake's own checks to
# report what is really missing. It never fails on its own account.
set -uo pipefail

# Debian package, what it is, and a command it provides (- for a library,
# which cannot be looked for without the package database).
describe() {
  case "$1" in
    cmake)            echo "CMake 3.16 or later|cmake" ;;
    make)             echo "GNU make|make" ;;
    g++)              echo "a C++17 compiler (GCC's g++, or Clang)|c++" ;;
    gzip)             echo "gzip, which compresses the installed man pages|gzip" ;;
    libgtest-dev)     echo "GoogleTest, the C++ test framework, with its CMake files|-" ;;
    libgif-dev)       echo "giflib, a GIF reading and writing library, headers (decodes our GIFs in the tests)|-" ;;
    libdsk4-dev)      echo "libdsk, a floppy disk image library, headers (reads our DSK images in the tests)|-" ;;
    libdsk-utils)     echo "libdsk's tools dsktrans and dskform (write images for the tests to read)|dsktrans" ;;
    strace)           echo "strace, which injects signals and failed calls into the tests' runs|strace" ;;
    cpmtools)         echo "cpmtools, CP/M file system tools (fsck.cpm checks formatted images)|fsck.cpm" ;;
    groff-base)       echo "groff, the man page formatter (man page check)|groff" ;;
    mandoc)           echo "mandoc, a man page formatter and checker (man page check)|mandoc" ;;
    zsh)              echo "the Z shell (zsh completion check; skipped without it)|zsh" ;;
    fish)             echo "the fish shell (fish completion check; skipped without it)|fish" ;;
    dpkg-dev)         echo "dpkg-shlibdeps, which works out a Debian package's library dependencies|dpkg-shlibdeps" ;;
    lintian)          echo "lintian, Debian's package checker (package check)|lintian" ;;
    clang)            echo "the Clang C++ compiler|clang++" ;;
    libclang-rt-dev)  echo "Clang's libFuzzer and sanitizer runtime libraries|-" ;;
    libbenchmark-dev) echo "Google Benchmark, a C++ micro-benchmark library, with its CMake files|-" ;;
    python3)          echo "Python 3 (writes the disk dump of mobrick's demo)|python3" ;;
    python3-pil)      echo "Python 3 with PIL (Pillow), an imaging library (GIF speed comparison)|python3" ;;
    hyperfine)        echo "hyperfine, a command-line benchmarking tool|hyperfine" ;;
    *)                echo "deps.sh: no description of package $1" >&2; echo "|-" ;;
  esac
}

packages_for() {
  case "$1" in
    build)   echo "cmake make g++ gzip" ;;
    demo)    echo "cmake make g++ gzip python3" ;;
    check)   echo "cmake make g++ gzip libgtest-dev libgif-dev libdsk4-dev libdsk-utils strace cpmtools groff-base mandoc zsh fish lintian" ;;
    package) echo "cmake make g++ gzip dpkg-dev" ;;
    fuzz)    echo "cmake make gzip clang libclang-rt-dev libgif-dev" ;;
    bench)   echo "cmake make g++ gzip libbenchmark-dev libdsk-utils python3-pil hyperfine" ;;
    *) echo "deps.sh: unknown group $1" >&2 ;;
  esac
}

wanted=()
for group in "$@"; do
  for p in $(packages_for "$group"); do
    [[ " ${wanted[*]-} " == *" $p "* ]] || wanted+=("$p")
  done
done

debian_root() {
  command -v apt-get > /dev/null && command -v dpkg > /dev/null &&
    command -v dpkg-query > /dev/null && [[ $(id -u) -eq 0 ]]
}

installed() {
  [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]
}

if debian_root; then
  missing=()
  for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
  [[ ${#missing[@]} -eq 0 ]] && exit 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; }; then
    echo "deps.sh: apt-get could not install ${missing[*]}; going on, the build names what is missing" >&2
  fi
  exit 0
fi

# No package installation here: name what cannot be found.
unfound=()
names=()
for p in "${wanted[@]}"; do
  IFS='|' read -r what probe <<< "$(describe "$p")"
  if command -v dpkg-query > /dev/null; then
    installed "$p" && continue
  elif [[ $probe != - ]]; then
    command -v "$probe" > /dev/null && continue
    [[ $p == g++ ]] && { command -v g++ > /dev/null || command -v clang++ > /dev/null; } && continue
  fi
  unfound+=("$(printf '  %-17s %s' "$p" "$what")")
  names+=("$p")
done
[[ ${#unfound[@]} -eq 0 ]] && exit 0
if command -v dpkg-query > /dev/null; then
  echo "deps.sh: this target needs these packages, which are not installed:"
  printf '%s\n' "${unfound[@]}"
  echo "Install them with: sudo apt-get install ${names[*]}"
else
  echo "deps.sh: this target needs the following (Debian's package names, and what"
  echo "each one is, to find it in any distribution); the build reports what is missing:"
  printf '%s\n' "${unfound[@]}"
fi
exit 0
