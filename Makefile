# make play: build the game and start it.   make test: build everything and run every test.
# make bench: run the benchmarks and print their ratios against the references.
# make web: build the browser version in build-web/.   make serve-web: build it and serve it.
# make package: a Debian package of the game (in build-package/).
BUILD ?= build
JOBS ?= 2
# Seconds each benchmark runs at least; CI uses a short time.
BENCH_MIN_TIME ?= 2
BUILD_PACKAGES = cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
	zlib1g-dev nlohmann-json3-dev
GAME_PACKAGES = libsdl2-dev
PACKAGE_BUILD ?= build-package
# dpkg-shlibdeps names the libraries the package depends on.
DEB_PACKAGES = dpkg-dev

.PHONY: play test bench build build-game packages game-packages package clean web serve-web \
	test-web

packages:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)

game-packages:
	@tools/ensure-packages.sh $(BUILD_PACKAGES) $(GAME_PACKAGES)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: game-packages $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Only the game: it finds its pictures beside itself, where the build copies them.
play: game-packages $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target quellaro
	$(BUILD)/quellaro

package: game-packages
	@tools/ensure-packages.sh $(DEB_PACKAGES)
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target quellaro quellaro_icons
	cd $(PACKAGE_BUILD) && cpack

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# The game's benchmarks, then the present's (when the SDL game is built).
bench: build
	$(BUILD)/quellaro_bench --benchmark_min_time=$(BENCH_MIN_TIME)
	@if [ -x $(BUILD)/quellaro_present_bench ]; then \
	  $(BUILD)/quellaro_present_bench --benchmark_min_time=$(BENCH_MIN_TIME); fi

# The browser version. This Emscripten runs on the machine's Node.js, which may not find
# Debian's JavaScript modules by itself.
WEB_BUILD ?= build-web
WEB_PORT ?= 8000
web serve-web test-web: export NODE_PATH = /usr/share/nodejs

$(WEB_BUILD)/build.ninja:
	emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

web:
	@tools/web-packages.sh
	@$(MAKE) --no-print-directory $(WEB_BUILD)/build.ninja
	cmake --build $(WEB_BUILD) -j $(JOBS)

serve-web: web
	@echo "Open http://localhost:$(WEB_PORT)/ to play (Ctrl+C stops the server)."
	cd $(WEB_BUILD) && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

# The browser tests: the page in headless Chromium, and the scripts played as natively.
test-web: build web
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error && node --test

clean:
	rm -rf $(BUILD) build-asan $(WEB_BUILD) $(PACKAGE_BUILD)
