# make play: build the game and start it.   make test: build what the tests need and run them.
# Each installs only the packages its own build needs, then configures again so that CMake
# finds what was just installed.
BUILD ?= build
JOBS ?= 2
BASE_PACKAGES = cmake ninja-build g++
GAME_PACKAGES = $(BASE_PACKAGES) libsdl2-dev
TEST_PACKAGES = $(BASE_PACKAGES) libgtest-dev libpng-dev nlohmann-json3-dev
BENCH_PACKAGES = $(TEST_PACKAGES) libbenchmark-dev
TEST_TARGETS = quellaro_tests quellaro-headless

.PHONY: play test bench build configure clean

configure:
	cmake -S . -B $(BUILD) -G Ninja

play:
	@tools/ensure-packages.sh $(GAME_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target quellaro
	cd assets && ../$(BUILD)/quellaro

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target $(TEST_TARGETS)
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# The benchmarks: build them and print each one's ratio against its reference.
bench:
	@tools/ensure-packages.sh $(BENCH_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target quellaro_bench
	$(BUILD)/quellaro_bench

# Everything: the game, the tools, the tests and the benchmarks.
build:
	@tools/ensure-packages.sh $(GAME_PACKAGES) $(BENCH_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) build-asan
