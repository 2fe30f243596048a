# The two set-up commands of the README, and a few helpers around them.
BUILD ?= build
GUI ?= ON
CMAKE_FLAGS ?=
# LAGRULL_POSTAL_REGISTER=FILE on the command line gives the postal register
# by hand (see scripts/fetch-postal-register.sh); make passes it on to the
# scripts and to CMake.

.PHONY: run demo test deps configure build test-nogui sanitize fuzz-ci bench format-check tidy clean

run: build
	$(BUILD)/src/app/lagrul

# The program on a made-up register of its own (members, relations and
# claims), made on first use; remove $(DEMO_DATA) for a fresh one.
DEMO_DATA ?= $(BUILD)/demo-data
demo: build
	mkdir -p $(DEMO_DATA)
	test -e $(DEMO_DATA)/lagrull.db || \
	  $(BUILD)/src/cli/lagrul-cli /path=$(abspath $(DEMO_DATA)) demo --krav
	$(BUILD)/src/app/lagrul /path=$(abspath $(DEMO_DATA))

# The printing test prints on a cups-pdf queue when the scheduler can be
# started; without it that one test skips itself and start-cups.sh says why.
test: build
	[ "$(GUI)" = OFF ] || ./scripts/start-cups.sh
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

deps:
	./scripts/deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DLAGRULL_GUI=$(GUI) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

# The logic libraries, lagrul-cli and the logic tests without any Qt.
test-nogui:
	$(MAKE) test BUILD=build-nogui GUI=OFF

# The logic tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (without the windows, whose Qt libraries are not instrumented).
sanitize:
	$(MAKE) test BUILD=build-asan GUI=OFF \
	  CMAKE_FLAGS="-DLAGRULL_SANITIZE=ON -DLAGRULL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"

# Every fuzz target for a short run on its committed corpus (Clang,
# libFuzzer and the sanitizers); fails on any finding.
fuzz-ci:
	./scripts/fuzz-ci.sh build-fuzz

bench: build
	for b in $(BUILD)/bench/bench_*; do $$b; done

# What CI checks besides the tests: the formatting of every C++ file, and
# clang-tidy on the files changed since TIDY_BASE (see scripts/tidy-changed.sh).
format-check:
	./scripts/check-format.sh

tidy: build
	./scripts/tidy-changed.sh $(BUILD) $(TIDY_BASE)

clean:
	rm -rf build build-nogui build-asan build-fuzz
