#!/usr/bin/env bash
# deps.sh GROUP...: makes sure the Debian packages that a make target needs are
# installed. As root it installs what is missing with apt-get; otherwise it
# names the missing packages and fails.
set -euo pipefail

packages_for() {
  case "$1" in
    build) echo "cmake make g++ pkg-config" ;;
    check) echo "cmake make g++ pkg-config libgtest-dev libgif-dev libdsk4-dev libdsk-utils" ;;
    fuzz)  echo "cmake make clang libclang-rt-dev pkg-config libgtest-dev libgif-dev libdsk4-dev libdsk-utils" ;;
    bench) echo "cmake make g++ pkg-config libgtest-dev libgif-dev libdsk4-dev libdsk-utils libbenchmark-dev python3-pil hyperfine coreutils" ;;
    *) echo "deps.sh: unknown group $1" >&2; exit 2 ;;
  esac
}

wanted=()
for group in "$@"; do
  for p in $(packages_for "$group"); do wanted+=("$p"); done
done

missing=()
for p in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
