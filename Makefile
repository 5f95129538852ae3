# make play: build the game and start it.   make test: build what the tests need and run them.
# make bench: run the benchmarks and print their ratios against the references.
# make web: build the browser version; the folder to put on a web server is build-web/dist/.
# make serve-web: build it and serve it (HOST=0.0.0.0 to try it from a phone on the network).
# make package: a Debian package of the game (in build-package/).
# Each installs only the packages its own build needs, then configures again so that CMake
# finds what was just installed.
# make fuzz: every fuzz target for FUZZ_TIME seconds.   make fuzz-coverage: what they reach.
BUILD ?= build
JOBS ?= 2
# Seconds each benchmark runs at least; CI uses a short time.
BENCH_MIN_TIME ?= 2
BASE_PACKAGES = cmake ninja-build g++ zlib1g-dev
GAME_PACKAGES = $(BASE_PACKAGES) libsdl2-dev
TEST_PACKAGES = $(BASE_PACKAGES) libgtest-dev nlohmann-json3-dev
# SDL2 is a reference the benchmarks measure against.
BENCH_PACKAGES = $(BASE_PACKAGES) libbenchmark-dev libsdl2-dev
PACKAGE_BUILD ?= build-package
# dpkg-shlibdeps names the libraries the package depends on.
DEB_PACKAGES = dpkg-dev

FUZZ_PACKAGES = cmake ninja-build clang-14 libclang-rt-14-dev llvm-14 libgtest-dev libgmock-dev \
	zlib1g-dev nlohmann-json3-dev
FUZZ_TIME ?= 300

.PHONY: play test bench build configure runner package clean web web-dist serve-web test-web \
	fuzz fuzz-coverage regenerate-digests

# Warnings are errors in the developers' builds (make test) and CI, not in a user's.
configure:
	cmake -S . -B $(BUILD) -G Ninja $(CONFIGURE_FLAGS)

play:
	@tools/ensure-packages.sh $(GAME_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target quellaro
	$(BUILD)/quellaro

package:
	@tools/ensure-packages.sh $(GAME_PACKAGES) $(DEB_PACKAGES)
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target quellaro quellaro_icons
	cd $(PACKAGE_BUILD) && cpack

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory configure CONFIGURE_FLAGS=-DQUELLARO_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS) --target quellaro_test_programs
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# After a change meant to change play: the committed scripts' expected state and frame
# digests (tests/scripts/digests.txt and expected/) written again from the runner as it plays.
regenerate-digests:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target quellaro_tests quellaro-headless
	SOURCE_DATE_EPOCH=0 QUELLARO_REGENERATE_DIGESTS=1 $(BUILD)/quellaro_tests --gtest_filter='ScriptDigests.*'

# The benchmarks against their references; the run ends with the summary of ratios.
bench:
	@tools/ensure-packages.sh $(BENCH_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target quellaro_bench
	$(BUILD)/quellaro_bench --benchmark_min_time=$(BENCH_MIN_TIME)

# Everything native: the game, the tools, the tests and the benchmarks.
build:
	@tools/ensure-packages.sh $(GAME_PACKAGES) $(TEST_PACKAGES) $(BENCH_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS)

# The native headless runner alone (the browser tests compare with it).
runner:
	@tools/ensure-packages.sh $(BASE_PACKAGES)
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) -j $(JOBS) --target quellaro-headless

# The browser version. This Emscripten runs on the machine's Node.js, which may not find
# Debian's JavaScript modules by itself. The page's folder is $(WEB_BUILD)/dist: only what the
# page needs, every file but index.html and sw.js named by its content's hash.
WEB_BUILD ?= build-web
WEB_PORT ?= 8000
# Where serve-web listens: this machine only, or 0.0.0.0 for every network it is on. Taken from
# the command line only: some shells export the machine's name as HOST.
ifneq ($(origin HOST),command line)
HOST := 127.0.0.1
endif
web web-dist serve-web test-web: export NODE_PATH = /usr/share/nodejs

$(WEB_BUILD)/build.ninja:
	emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

web:
	@tools/web-packages.sh
	@$(MAKE) --no-print-directory $(WEB_BUILD)/build.ninja
	cmake --build $(WEB_BUILD) -j $(JOBS)

web-dist: web
	@echo "The page's folder, ready for any web server: $(abspath $(WEB_BUILD))/dist"

serve-web: web
	@tools/serve-web.sh $(WEB_BUILD)/dist $(HOST) $(WEB_PORT)

# The browser tests: the page in headless Chromium, and the scripts played as natively.
test-web: runner web
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error && node --test

# make fuzz: every fuzz target for FUZZ_TIME seconds (default 300), two at a time; fails on
# any finding. make fuzz-coverage: how much of each parser the corpora reach.
fuzz:
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DQUELLARO_FUZZ=ON -DQUELLARO_SDL=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLARO_WERROR=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	fuzz/run.sh $(FUZZ_TIME) build-fuzz

fuzz-coverage:
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	fuzz/coverage.sh build-cov build-fuzz

clean:
	rm -rf $(BUILD) build-asan build-tidy $(WEB_BUILD) $(PACKAGE_BUILD) build-fuzz build-cov
