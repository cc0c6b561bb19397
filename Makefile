# Front door: wraps CMake. `make help` lists the targets.
PREFIX       ?= /usr/local
DESTDIR      ?=
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 30
BUILD        := build
TEST_BUILD   := build-test
ASAN_BUILD   := build-asan
FUZZ_BUILD   := build-fuzz
BENCH_BUILD  := build-bench

# With CI set (as the CI runner does), warnings are errors.
CMAKE_FLAGS  := $(if $(CI),-DWERROR=ON) $(EXTRA_CMAKE_FLAGS)

.PHONY: all build demo check check-cross test test-asan test-package test-uninstall test-shellcheck package install uninstall fuzz bench clean help

all: build

help:
	@echo "make            build the three programs ($(BUILD)/); needs only CMake, gzip and a C++17 compiler"
	@echo "make demo       build, then run each program on samples of our own, in $(BUILD)/demo/ (needs python3)"
	@echo "make check      run the test suite normally ($(TEST_BUILD)/) and under ASan+UBSan ($(ASAN_BUILD)/),"
	@echo "                then build the package and try it out (lintian included), then install"
	@echo "                into a DESTDIR and uninstall, then check the shell scripts with shellcheck"
	@echo "make check-cross  build for s390x and i686, run under qemu-user, compare every byte with the native build"
	@echo "make install    install programs, man pages and completions under DESTDIR PREFIX ($(PREFIX))"
	@echo "make uninstall  remove what make install put there (same DESTDIR and PREFIX), and the folders"
	@echo "                that leaves empty below PREFIX/bin and PREFIX/share"
	@echo "make package    a Debian package and a .tar.gz of the install tree, in $(BUILD)/packages/;"
	@echo "                two runs on one commit give the same bytes"
	@echo "make fuzz       build the libFuzzer targets with clang and run each $(FUZZ_SECONDS)s"
	@echo "make bench      run the benchmarks under bench/"

build:
	@scripts/deps.sh build
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/deps.sh demo
	scripts/demo.sh $(BUILD)

test:
	@scripts/deps.sh check
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON $(CMAKE_FLAGS)
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	@scripts/deps.sh check
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_TESTING=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

package: build
	@scripts/deps.sh package
	scripts/package.sh $(BUILD)

test-package: package
	@scripts/deps.sh check
	scripts/package_test.sh $(BUILD)

test-uninstall: build
	scripts/uninstall_test.sh $(BUILD)

# Every script of the tree is bash, the completions' included.
test-shellcheck:
	@if command -v shellcheck > /dev/null; then \
	  find . \( -path './build*' -o -path ./.git \) -prune -o \( -name '*.sh' -o -name '*.bash' \) -print0 | \
	    LC_ALL=C sort -z | xargs -0 shellcheck -S warning -s bash && echo "shellcheck: no findings"; \
	else echo "shellcheck not found: the shell scripts are not checked"; fi

check: test test-asan test-package test-uninstall test-shellcheck

# The programs built for a big-endian 64-bit and a 32-bit machine must give
# the native build's bytes.
check-cross:
	@scripts/deps.sh cross
	scripts/check_cross.sh

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# Reads the install manifest that the last make install (or cmake --install)
# left in $(BUILD)/.
uninstall:
	scripts/uninstall.sh $(BUILD)/install_manifest.txt "$(DESTDIR)" "$(PREFIX)"

fuzz:
	@scripts/deps.sh fuzz
	CXX=clang++ CC=clang cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUZZ=ON -DBUILD_TESTING=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench:
	@scripts/deps.sh bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	bench/run.sh $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) build-cross
