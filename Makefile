# The two set-up commands of the README, and a few helpers around them.
BUILD ?= build
GUI ?= ON
CMAKE_FLAGS ?=

.PHONY: run demo test deps configure build test-nogui sanitize bench clean

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

test: build
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

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DLAGRULL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

bench: build
	for b in $(BUILD)/bench/bench_*; do $$b; done

clean:
	rm -rf build build-nogui build-asan
