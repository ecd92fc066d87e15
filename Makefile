# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Two entry points: `make run` builds and starts the game with the default
# assets, `make test` builds everything and runs every test. Both first install
# whatever Debian packages are missing (run as root on Debian 12).

BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)

# dpkg-dev: Debian's hardening flags for every build (dpkg-buildflags), and dpkg-shlibdeps
# for the Debian package. qt6-tools-dev and qt6-l10n-tools: the messages' translations, built with
# lrelease and brought up to date with lupdate.
BUILD_PACKAGES := cmake g++ make pkg-config qt6-base-dev libxcb1-dev \
                  qt6-qpa-plugins fonts-noto-cjk pulseaudio dpkg-dev \
                  libsndfile1-dev libpulse-dev libfontconfig-dev qt6-tools-dev qt6-l10n-tools
TEST_PACKAGES := $(BUILD_PACKAGES) zlib1g-dev time libgtest-dev libbenchmark-dev xvfb xauth xdotool openbox \
                 x11-utils imagemagick pulseaudio-utils sox clang libclang-rt-14-dev
# Validators for the desktop files, a headless Wayland compositor and Qt's Wayland plugin.
TEST_PACKAGES += desktop-file-utils appstream weston qt6-wayland
# The licence check of every file, and the Debian package's checks: lintian (which reads
# the manual pages with man) and hardening-check.
TEST_PACKAGES += reuse lintian man-db devscripts
# The accessibility test: a private D-Bus session (dbus-run-session, dbus-send), the AT-SPI bus
# and registry, and the Python bindings it reads the tree with as a screen reader does.
TEST_PACKAGES += dbus-daemon dbus-bin at-spi2-core python3-pyatspi
# The game played by ear: the Orca screen reader and speech-dispatcher, whose voice the test
# replaces with one that writes down what it is given.
TEST_PACKAGES += orca speech-dispatcher
# libjpeg-turbo's own interface: the baseline the picture benchmark measures the game against.
TEST_PACKAGES += libjpeg62-turbo-dev
# The X server's DAMAGE extension: the start-up benchmark sees a window's drawing as it happens.
TEST_PACKAGES += libxcb-damage0-dev

# Sanitizer reports with the whole call stack. The same settings apply while building, where the
# tests are listed by running them.
SANITIZER_ENV := UBSAN_OPTIONS=print_stacktrace=1

.PHONY: run test build build-tests install-build-deps install-test-deps clean \
        test-asan build-asan fuzz build-fuzz

run: install-build-deps build
	./$(BUILD_DIR)/sorawata

test: install-test-deps build-tests
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600
	$(MAKE) test-asan
	$(MAKE) build-fuzz
	./fuzz/run.sh $(FUZZ_BUILD_DIR) 30 fuzz_text fuzz_mci fuzz_wave
	./fuzz/run.sh $(FUZZ_BUILD_DIR) 20 fuzz_picture

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-tests:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DSORAWATA_BUILD_TESTS=ON -DSORAWATA_BUILD_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The unit tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer. Debug builds
# faster; the end-to-end tests are left to the normal build, and so is the million-tick long play,
# which takes minutes here and whose heap figures the sanitizer's allocator does not give, and so
# are the decoding budgets: the sanitizers' shadow memory rules out the decoder's memory limit.
test-asan: build-asan
	cd $(ASAN_BUILD_DIR) && $(SANITIZER_ENV) ctest -LE e2e -E '^(LongPlay|DecodeBudget)\.' \
	    --output-on-failure --timeout 600

build-asan:
	cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DSORAWATA_BUILD_TESTS=ON \
	      -DSORAWATA_SANITIZE=ON
	$(SANITIZER_ENV) cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600).
fuzz: install-test-deps build-fuzz
	./fuzz/run.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

build-fuzz:
	cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_CXX_COMPILER=clang++ -DSORAWATA_FUZZ=ON -DSORAWATA_SANITIZE=ON
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target sorawata_fuzzers

install-build-deps:
	@./tools/install-missing $(BUILD_PACKAGES)

install-test-deps:
	@./tools/install-missing $(TEST_PACKAGES)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(FUZZ_BUILD_DIR)
