# SPDX-License-Identifier: Zlib
# The two commands of the README:
#   make run   set up, build and start the game
#   make test  set up, build and run every test, then again under ASan and UBSan
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: run test setup build build-asan unit-test asan-test fuzz-smoke soak bench package clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./ductora

unit-test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DDUCTORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

asan-test: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# A short run of every fuzz target (clang's libFuzzer); FUZZ_SECONDS each.
FUZZ_SECONDS ?= 10
fuzz-smoke: setup
	bash tests/fuzz/run.sh $(FUZZ_SECONDS) build-fuzz

test: unit-test asan-test fuzz-smoke

# The long soak: a million frames of random play under ASan and UBSan.
SOAK_FRAMES ?= 1000000
SOAK_SEED ?= 1
soak: build-asan
	ASAN_OPTIONS=detect_leaks=1 bash tests/soak/soak.sh $(ASAN_BUILD)/ductora-headless \
	  $(ASAN_BUILD)/soakgen tests $(SOAK_FRAMES) 50000 $(SOAK_SEED)

# The Debian package, build-package/ductora-fiesta_VERSION_ARCH.deb (CPack).
PACKAGE_BUILD ?= build-package
package: setup
	@bash scripts/package.sh $(PACKAGE_BUILD) $(JOBS)

bench: build
	cd $(BUILD) && ./ductora_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz $(PACKAGE_BUILD)
