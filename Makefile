# make play: build the game and start it.   make test: build everything and run every test.
BUILD ?= build
JOBS ?= 2
BUILD_PACKAGES = cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
GAME_PACKAGES = libsdl2-dev

FUZZ_PACKAGES = cmake ninja-build clang-14 libclang-rt-14-dev llvm-14 libgtest-dev libgmock-dev
FUZZ_TIME ?= 300

.PHONY: play test build build-game packages game-packages clean fuzz fuzz-coverage

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

# make fuzz: every fuzz target for FUZZ_TIME seconds (default 300), two at a time; fails on
# any finding. make fuzz-coverage: how much of each parser the corpora reach.
fuzz:
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DQUELLARO_FUZZ=ON -DQUELLARO_SDL=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	fuzz/run.sh $(FUZZ_TIME) build-fuzz

fuzz-coverage:
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	fuzz/coverage.sh build-cov build-fuzz

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-cov
