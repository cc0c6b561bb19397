#!/usr/bin/env bash
# check_cross.sh: builds pixtrel, mobrick and zelnor natively and with Debian's
# cross compilers for s390x (big-endian, 64-bit) and i686 (32-bit), all
# statically linked, runs the cross builds under qemu-user on the same inputs
# as the native build, and compares every output byte: the files left in the
# working folder, standard output, standard error and exit status of every
# command. Where the kernel runs i686 programs itself, they are run once more
# that way, since qemu-user does not refuse a large file to a program that
# opened it without 64-bit offsets as a 32-bit kernel does.
#
# As root, with apt-get and dpkg, missing packages are installed; elsewhere
# the script names them and fails. Builds go to build-cross/<machine>, the
# runs to build-cross/run/<machine>/<case> (kept for inspection). Exit status
# 0 when every case gives the same bytes on every machine, 1 otherwise.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
out_root=build-cross
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
start=$SECONDS

# ---- tools ----------------------------------------------------------------

# Debian package of each command needed.
declare -A package_of=(
  [cmake]=cmake [make]=make [gcc]=gcc [g++]=g++ [cmp]=diffutils [diff]=diffutils
  [s390x-linux-gnu-gcc]=gcc-s390x-linux-gnu [s390x-linux-gnu-g++]=g++-s390x-linux-gnu
  [i686-linux-gnu-gcc]=gcc-i686-linux-gnu [i686-linux-gnu-g++]=g++-i686-linux-gnu
  [qemu-s390x]=qemu-user [qemu-i386]=qemu-user
)

missing_packages() {
  local command packages=()
  for command in "${!package_of[@]}"; do
    command -v "$command" >/dev/null || packages+=("${package_of[$command]}")
  done
  [[ ${#packages[@]} -eq 0 ]] || printf '%s\n' "${packages[@]}" | sort -u
}

install_tools() {
  local missing
  missing=$(missing_packages)
  [[ -z "$missing" ]] && return 0
  if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null && command -v dpkg >/dev/null; then
    echo "Installing: ${missing//$'\n'/ }"
    export DEBIAN_FRONTEND=noninteractive
    # Wait for another apt-get or dpkg run rather than fail at its lock.
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    # shellcheck disable=SC2086
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing
    missing=$(missing_packages)
    [[ -z "$missing" ]] && return 0
  fi
  echo "check_cross.sh: missing tools; Debian packages: ${missing//$'\n'/ }" >&2
  echo "  (C and C++ cross compilers for s390x-linux-gnu and i686-linux-gnu with their" >&2
  echo "  static C library, and qemu-user's qemu-s390x and qemu-i386)" >&2
  exit 1
}

# ---- builds ---------------------------------------------------------------

# build MACHINE: the three programs, statically linked, in build-cross/MACHINE.
build() {
  local machine=$1 flags=()
  if [[ $machine != native ]]; then
    local triplet=$machine-linux-gnu
    flags=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR="$machine"
           -DCMAKE_C_COMPILER="$triplet-gcc" -DCMAKE_CXX_COMPILER="$triplet-g++"
           -DCMAKE_FIND_ROOT_PATH="/usr/$triplet"
           -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
           -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY)
  fi
  local log=$out_root/$machine.log
  mkdir -p "$out_root"
  if ! { cmake --no-warn-unused-cli -S . -B "$out_root/$machine" -DCMAKE_BUILD_TYPE=Release \
           -DBUILD_TESTING=OFF -DWERROR=ON -DCMAKE_EXE_LINKER_FLAGS=-static "${flags[@]}" &&
         cmake --build "$out_root/$machine" -j "$jobs" --target pixtrel mobrick zelnor; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "check_cross.sh: the $machine build failed" >&2
    exit 1
  fi
  echo "built $machine"
}

# ---- inputs ---------------------------------------------------------------

# Made once, then copied into every case's folder, so all machines see the
# same bytes.
make_inputs() {
  local dir=$1 i
  mkdir -p "$dir"
  head -c 6912 /dev/zero >"$dir/zero.scr"
  # Byte i is (i * 151) mod 256: a period of 256 bytes, 27 times.
  local period=""
  for ((i = 0; i < 256; i++)); do period+=$(printf '\\%03o' $((i * 151 % 256))); done
  # shellcheck disable=SC2059 # the escapes are the bytes
  for ((i = 0; i < 27; i++)); do printf "$period"; done >"$dir/ramp.scr"
  # Random bitmaps and attributes: about half the cells FLASH.
  for i in 1 2 3; do head -c 6912 /dev/urandom >"$dir/random$i.scr"; done
  head -c 100 /dev/urandom >"$dir/short.scr"
  # A two-sided 80-track disk of 9 x 512 bytes.
  head -c 737280 /dev/urandom >"$dir/disk.p3d"
  printf abc >"$dir/abc.txt"
  : >"$dir/empty.bin"
  head -c 16385 /dev/urandom >"$dir/noise.rom"
}

# ---- cases ----------------------------------------------------------------
# Each case runs in a fresh folder holding nothing but what it copies there;
# the programs are called through pixtrel, mobrick and zelnor below, and
# `capture NAME COMMAND...` keeps a command's standard output, standard error
# and exit status in the case's capture folder. `expect FILE...` notes a file
# that a correct run leaves behind; one missing in the native run fails the
# check, so that identical failures on all machines cannot pass.

capture() {
  local name=$1 status=0
  shift
  "$@" >"$capture_dir/$name.stdout" 2>"$capture_dir/$name.stderr" <"${stdin_file:-/dev/null}" || status=$?
  echo "$status" >"$capture_dir/$name.status"
}

expect() {
  local file
  for file in "$@"; do [[ -s $file ]] || echo "missing $file" >>"$capture_dir/missing"; done
}

# expect_stdout NAME TEXT: command NAME printed TEXT and a newline.
expect_stdout() {
  [[ $(cat "$capture_dir/$1.stdout") == "$2" ]] || echo "unexpected output of $1" >>"$capture_dir/missing"
}

# mobrick NAME ANSWERS: one mobrick run with ANSWERS (printf format) as input.
mobrick_dialogue() {
  local name=$1
  # shellcheck disable=SC2059 # the answers hold \n escapes
  printf "$2" >"$capture_dir/$name.stdin"
  stdin_file=$capture_dir/$name.stdin capture "$name" mobrick
}

case_pixtrel_still() {
  cp "$inputs"/{zero,ramp,random1,random2,random3}.scr .
  capture run pixtrel zero.scr ramp random1.scr random2.scr random3.scr
  expect zero.gif ramp.gif random1.gif random2.gif random3.gif
}

case_pixtrel_flash() {
  cp "$inputs"/{zero,ramp,random1,random2,random3}.scr .
  capture run pixtrel -f zero.scr ramp random1.scr random2.scr random3.scr
  expect zero.gif ramp.gif random1.gif random2.gif random3.gif
}

case_pixtrel_failures() {
  cp "$inputs"/{random1,short}.scr .
  capture missing pixtrel -f random1 nothing.scr
  capture short pixtrel short.scr
  capture usage pixtrel -f
  expect random1.gif
}

case_mobrick_formats() {
  local key
  for key in d s v + a; do
    local name=format-${key/+/plus}
    mkdir "$name"
    (cd "$name" && mobrick_dialogue "$name" "5\n$key\no\n6\n")
    expect "$name/default.dsk"
  done
}

case_mobrick_dd_round_trip() {
  cp "$inputs/disk.p3d" image.p3d
  mobrick_dialogue run '3\no\n1\nback\n4\n6\n'
  expect default.dsk back
}

case_mobrick_data_to_dd() {
  mobrick_dialogue run '5\nd\no\n4\n6\n'
  expect default.dsk image.p3d
}

case_zelnor_files() {
  cp "$inputs"/{abc.txt,empty.bin,noise.rom} .
  mkdir folder
  capture decimal zelnor abc.txt empty.bin noise.rom missing.bin folder
  capture hex zelnor -x abc.txt empty.bin noise.rom missing.bin
  capture long-hex zelnor --hex noise.rom
  capture version zelnor -v
  capture usage zelnor
}

case_zelnor_large_file() {
  # 3 GiB, sparse: zeros ending in "abc".
  truncate -s $((3 * 1024 * 1024 * 1024 - 3)) big
  printf abc >>big
  capture run zelnor big
  expect_stdout run "big: 16458, 3221225472 bytes"
  rm big
}

cases=(pixtrel_still pixtrel_flash pixtrel_failures mobrick_formats mobrick_dd_round_trip
       mobrick_data_to_dd zelnor_files zelnor_large_file)

# run_cases MACHINE RUNNER...: every case with MACHINE's programs, each started
# through RUNNER (nothing for the native build).
run_cases() {
  local machine=$1
  shift
  local runner=("$@") bin
  bin=$(cd "$out_root/${machine%-kernel}" && pwd)
  pixtrel() { "${runner[@]}" "$bin/pixtrel/pixtrel" "$@"; }
  mobrick() { "${runner[@]}" "$bin/mobrick/mobrick" "$@"; }
  zelnor() { "${runner[@]}" "$bin/zelnor/zelnor" "$@"; }
  local name
  for name in "${cases[@]}"; do
    local dir=$run_root/$machine/$name
    mkdir -p "$dir/work" "$dir/capture"
    (
      capture_dir=$dir/capture
      cd "$dir/work"
      "case_$name"
    )
  done
}

# ---- main -----------------------------------------------------------------

install_tools
for machine in native s390x i686; do build "$machine"; done

run_root=$out_root/run
rm -rf "$run_root"
inputs=$(mkdir -p "$run_root/inputs" && cd "$run_root/inputs" && pwd)
make_inputs "$inputs"
run_root=$(cd "$run_root" && pwd)

machines=(s390x i686)
run_cases native
run_cases s390x qemu-s390x
run_cases i686 qemu-i386
# On x86-64 the kernel may run i686 programs itself; zelnor -v ends with
# status 1 after its notice when the program ran.
status=0
[[ $(uname -m) == x86_64 ]] && { "$out_root/i686/zelnor/zelnor" -v >/dev/null 2>&1 || status=$?; }
if [[ $status -eq 1 ]]; then
  machines+=(i686-kernel)
  run_cases i686-kernel
else
  echo "i686 programs do not run on this kernel without qemu: that run is left out"
fi

failed=0
for name in "${cases[@]}"; do
  line=$(printf '%-24s' "$name")
  native=$run_root/native/$name
  if [[ -e $native/capture/missing ]]; then
    line+=" native run incomplete: $(tr '\n' ' ' <"$native/capture/missing")"
    failed=1
  fi
  for machine in "${machines[@]}"; do
    if differences=$(diff -r -q "$native" "$run_root/$machine/$name" 2>&1); then
      line+=" $machine same"
    else
      line+=" $machine DIFFERS"
      failed=1
      printf '    %s\n' "${differences//$'\n'/$'\n'    }" >>"$run_root/differences"
    fi
  done
  echo "$line"
done
if [[ $failed -ne 0 ]]; then
  [[ -e $run_root/differences ]] && cat "$run_root/differences"
  echo "check_cross.sh: FAILED (runs kept in $run_root)"
  exit 1
fi
echo "check_cross.sh: every case gives the same bytes on native, ${machines[*]} ($((SECONDS - start)) s)"
