# The two commands of the README: `make run` and `make test`. Both install what is missing.
BUILD      ?= build
NATIVE     := $(BUILD)/native
WIN64      := $(BUILD)/win64
WIN32      := $(BUILD)/win32
FUZZ       := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= 2
CMAKE_GEN  := -G Ninja

.PHONY: all bootstrap configure build test bench run fuzz dist clean

all: build

bootstrap:
	@tools/bootstrap

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DPELUN_WINDOWS_BUILD_DIR=$(abspath $(WIN64)) -DPELUN_SHIPPED_BUILD_DIR=$(abspath $(WIN32))

# The shipped binaries: 32-bit Windows.
$(WIN32)/build.ninja:
	cmake -S . -B $(WIN32) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DPELUN_WINDOWS_TESTS=OFF

# The same sources for 64-bit Windows, which is what Wine can run on this kind of machine.
$(WIN64)/build.ninja:
	cmake -S . -B $(WIN64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

configure: bootstrap $(NATIVE)/build.ninja $(WIN32)/build.ninja $(WIN64)/build.ninja

build: configure
	ninja -C $(NATIVE) -j$(JOBS)
	ninja -C $(WIN32) -j$(JOBS)
	ninja -C $(WIN64) -j$(JOBS)

test: build
	tools/wine-prefix
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# Benchmarks of the Windows build under Wine; each figure is printed beside its target.
bench: build
	tools/wine-prefix
	tools/wine-run $(WIN64)/pelun_bench.exe
	python3 tests/bench/check_cycle_bench.py $(WIN64)
	python3 tests/bench/server_bench.py $(WIN64)
	python3 tests/bench/scale_bench.py $(WIN64)

run: build
	tools/wine-prefix
	tools/run-demo $(WIN64)

# The release: pelun-<version>.zip from the shipped 32-bit binaries.
dist: bootstrap $(WIN32)/build.ninja
	ninja -C $(WIN32) -j$(JOBS)
	tools/check-binaries $(WIN32)
	tools/make-dist $(WIN32) $(BUILD)

$(FUZZ)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELUN_FUZZ=ON

fuzz: bootstrap $(FUZZ)/build.ninja
	ninja -C $(FUZZ) -j$(JOBS)
	tools/run-fuzz $(FUZZ) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
