# make play: build the game and start it.   make test: build everything and run every test.
# make package: a Debian package of the game (in build-package/).
BUILD ?= build
JOBS ?= 2
BUILD_PACKAGES = cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
	zlib1g-dev
GAME_PACKAGES = libsdl2-dev
PACKAGE_BUILD ?= build-package
# dpkg-shlibdeps names the libraries the package depends on.
DEB_PACKAGES = dpkg-dev

.PHONY: play test build build-game packages game-packages package clean

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
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target quellaro quellaro_icons
	cd $(PACKAGE_BUILD) && cpack

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

clean:
	rm -rf $(BUILD) build-asan $(PACKAGE_BUILD)
