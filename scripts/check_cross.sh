#!/usr/bin/env bash
# check_cross.sh: builds pixtrel, mobrick and zelnor, statically linked,
# natively and with the toolchain files cmake/toolchain-s390x.cmake
# (big-endian, 64-bit) and cmake/toolchain-i686.cmake (32-bit), runs the
# cross builds under qemu-user on the same inputs as the native build, and
# compares every output byte: the files left in the working folder, standard
# output, standard error and exit status of every case. Where the kernel runs
# i686 programs itself they are run once more that way, since qemu-user does
# not refuse a large file to a program that opened it without 64-bit offsets
# as a 32-bit kernel does.
#
# `make check-cross` installs the cross compilers and qemu-user first. Builds
# go to build-cross/<machine>, the runs to build-cross/run/<machine>/<case>
# (kept for inspection). Exit status 0 when every case gives the same bytes on
# every machine and the native run the expected status, else 1.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/build-cross run=$PWD/build-cross/run
start=$SECONDS

mkdir -p "$out"
for machine in native s390x i686; do
  toolchain=()
  [[ $machine == native ]] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$machine.cmake")
  { cmake -S . -B "$out/$machine" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DWERROR=ON \
      -DCMAKE_EXE_LINKER_FLAGS=-static "${toolchain[@]}" &&
    cmake --build "$out/$machine" -j "${JOBS:-$(nproc)}" --target pixtrel mobrick zelnor
  } > "$out/$machine.log" 2>&1 ||
    { cat "$out/$machine.log"; echo "check_cross.sh: the $machine build failed"; exit 1; } >&2
  echo "built $machine"
done

# The inputs, made once and copied into every case's folder.
rm -rf "$run"
mkdir -p "$run/inputs" && cd "$run/inputs"
head -c 6912 /dev/zero > zero.scr
# Random bitmaps and attributes: about half the cells FLASH.
for i in 1 2 3 4; do head -c 6912 /dev/urandom > "random$i.scr"; done
head -c 100 /dev/urandom > short.scr
head -c 737280 /dev/urandom > disk.p3d  # two sides, 80 tracks of 9 x 512 bytes
printf abc > abc.txt
: > empty.bin
head -c 16385 /dev/urandom > noise.rom
mkdir folder

# Case name, the native run's exit status, and the command, run by bash with
# pixtrel, mobrick and zelnor standing for the machine's programs.
cases='pixtrel-still 0 pixtrel zero.scr random1.scr random2.scr random3.scr random4
pixtrel-flash 0 pixtrel -f zero.scr random1.scr random2.scr random3.scr random4
pixtrel-missing 1 pixtrel -f random1 nothing.scr
pixtrel-short 1 pixtrel short.scr
pixtrel-usage 1 pixtrel -f
mobrick-formats 0 for f in d s v + a; do mkdir $f && (cd $f && printf "5\n$f\no\n6\n" | mobrick) || exit; done
mobrick-dd-round-trip 0 mv disk.p3d image.p3d && printf "3\no\n1\nback\n4\n6\n" | mobrick
mobrick-data-to-dd 0 printf "5\nd\no\n4\n6\n" | mobrick
zelnor-decimal 1 zelnor abc.txt empty.bin noise.rom missing.bin folder
zelnor-hex 1 zelnor -x abc.txt empty.bin noise.rom missing.bin
zelnor-long-hex 0 zelnor --hex noise.rom
zelnor-version 1 zelnor -v
zelnor-usage 1 zelnor
zelnor-3-GiB 0 truncate -s 3221225469 big && printf abc >> big && zelnor big && rm big'
programs='set -o pipefail
pixtrel() { $RUNNER "$BIN/pixtrel/pixtrel" "$@"; }
mobrick() { $RUNNER "$BIN/mobrick/mobrick" "$@"; }
zelnor() { $RUNNER "$BIN/zelnor/zelnor" "$@"; }
'

# zelnor -v ends with status 1 after its notice when the program ran.
machines=(s390x i686) code=0
"$out/i686/zelnor/zelnor" -v > /dev/null 2>&1 || code=$?
((code == 1)) && machines+=(i686-kernel) ||
  echo "i686 programs do not run on this kernel without qemu: that run is left out"
declare -A runner=([s390x]=qemu-s390x [i686]=qemu-i386)
failed=0
for machine in native "${machines[@]}"; do
  while read -r name status command; do
    dir=$run/$machine/$name code=0
    mkdir -p "$dir" && cp -r "$run/inputs" "$dir/work"
    (cd "$dir/work" && BIN=$out/${machine%-kernel} RUNNER=${runner[$machine]-} bash -c "$programs$command") \
      > "$dir/stdout" 2> "$dir/stderr" < /dev/null || code=$?
    echo "$code" > "$dir/status"
    [[ $machine != native || $code == "$status" ]] ||
      { echo "$name: native exit status $code, not $status"; failed=1; }
  done <<< "$cases"
  [[ $machine == native ]] || diff -r "$run/native" "$run/$machine" || { echo "$machine DIFFERS"; failed=1; }
done
if ((failed)); then
  echo "check_cross.sh: FAILED (runs kept in $run)"
  exit 1
fi
echo "check_cross.sh: $(wc -l <<< "$cases") cases give the same bytes on native, ${machines[*]} ($((SECONDS - start)) s)"
