# make run   installs what is missing, builds and starts the game
# make test  installs what is missing, builds and runs every test
# make package, make install (PREFIX=/usr/local), make uninstall: see README, Install
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: setup build run test test-sanitize bench format package install uninstall

setup:
	@scripts/setup.sh

# Configures once; afterwards Ninja re-runs CMake by itself when a CMakeLists.txt changes.
define configure
	@test -f $(1)/CMakeCache.txt || cmake -S . -B $(1) -G Ninja \
		-DCMAKE_PREFIX_PATH="$$(scripts/install-sdl3.sh --print-prefix)" $(2)
endef

build: setup
	$(call configure,$(BUILD),)
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/voidrocks

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: setup
	$(call configure,$(SANITIZE_BUILD),-DCMAKE_BUILD_TYPE=Debug -DVOIDROCKS_SANITIZE=ON)
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The headless benchmarks, then the real game measured in an X11 window without a GPU.
bench: build
	@$(BUILD)/bench/voidrocks_bench
	@BUILD=$(BUILD) scripts/measure-x11.sh

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

# A Debian package of the game in $(BUILD)/, installed under /usr.
package: build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/voidrocks_*.deb

# The package's layout under PREFIX (DESTDIR is honoured); the list of files goes to
# $(BUILD)/install_manifest.txt, which uninstall reads back.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	@scripts/uninstall.sh $(BUILD)/install_manifest.txt
