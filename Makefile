# make play: build the game and start it.   make test: build everything and run every test.
# make bench: run the benchmarks and print their ratios against the references.
BUILD ?= build
JOBS ?= 2
# Seconds each benchmark runs at least; CI uses a short time.
BENCH_MIN_TIME ?= 2
BUILD_PACKAGES = cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
GAME_PACKAGES = libsdl2-dev

.PHONY: play test bench build build-game packages game-packages clean

packages:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)

game-packages:
	@tools/ensure-packages.sh $(BUILD_PACKAGES) $(GAME_PACKAGES)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: game-packages $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd assets && ../$(BUILD)/quellaro

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

bench: build
	$(BUILD)/quellaro_bench --benchmark_min_time=$(BENCH_MIN_TIME)

clean:
	rm -rf $(BUILD) build-asan
