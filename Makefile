# Two entry points: `make run` builds and starts the game with the default
# assets, `make test` builds everything and runs every test. Both first install
# whatever Debian packages are missing (run as root on Debian 12).

BUILD_DIR ?= build
JOBS ?= $(shell nproc)

BUILD_PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev libxcb1-dev \
                  qt6-qpa-plugins libqt6multimedia6 fonts-noto-cjk pulseaudio
TEST_PACKAGES := $(BUILD_PACKAGES) libgtest-dev libbenchmark-dev xvfb xauth xdotool openbox \
                 x11-utils imagemagick pulseaudio-utils sox
# Validators for the desktop files; dpkg-shlibdeps for the Debian package.
TEST_PACKAGES += desktop-file-utils appstream dpkg-dev

.PHONY: run test build build-tests install-build-deps install-test-deps clean

run: install-build-deps build
	./$(BUILD_DIR)/sorawata

test: install-test-deps build-tests
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-tests:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DSORAWATA_BUILD_TESTS=ON -DSORAWATA_BUILD_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

install-build-deps:
	@./tools/install-missing $(BUILD_PACKAGES)

install-test-deps:
	@./tools/install-missing $(TEST_PACKAGES)

clean:
	rm -rf $(BUILD_DIR)
