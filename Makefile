# make run   installs what is missing, builds and starts the game
# make test  installs what is missing, builds and runs every test
# make package, make install (PREFIX=/usr/local), make uninstall: see README, Install
BUILD ?= build
RUN_BUILD ?= build-run
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: setup build run test test-sanitize bench format package install uninstall soak \
	soak-sanitize fuzz memcheck

setup:
	@scripts/setup.sh

# Configures a build folder when it is new or was configured with the other warning setting
# ($(2): ON makes warnings errors); otherwise Ninja re-runs CMake by itself when needed. The
# game has a folder of its own, so that run and test never reconfigure each other.
define configure
	@grep -qx 'CMAKE_COMPILE_WARNING_AS_ERROR:BOOL=$(2)' $(1)/CMakeCache.txt 2>/dev/null || \
		cmake -S . -B $(1) -G Ninja -DCMAKE_PREFIX_PATH="$$(scripts/install-sdl3.sh --print-prefix)" \
		-DCMAKE_COMPILE_WARNING_AS_ERROR:BOOL=$(2) $(3)
endef

# Tests, benchmarks and tools, with warnings as errors.
build: setup
	$(call configure,$(BUILD),ON,)
	@cmake --build $(BUILD) -j $(JOBS)

# Only the game, and a newer compiler's new warning stays a warning.
run: setup
	$(call configure,$(RUN_BUILD),OFF,)
	@cmake --build $(RUN_BUILD) -j $(JOBS) --target voidrocks
	@$(RUN_BUILD)/voidrocks

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: setup
	$(call configure,$(SANITIZE_BUILD),ON,-DCMAKE_BUILD_TYPE=Debug -DVOIDROCKS_SANITIZE=ON)
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

# Whole games back to back with the bookkeeping checked after every frame.
SOAK_FRAMES ?= 200000
soak: build
	@SDL_VIDEO_DRIVER=dummy $(BUILD)/tools/soak/voidrocks_soak --frames $(SOAK_FRAMES)

# A shorter soak under the sanitizers, for CI.
SOAK_SANITIZE_FRAMES ?= 8000
soak-sanitize: setup
	$(call configure,$(SANITIZE_BUILD),ON,-DCMAKE_BUILD_TYPE=Debug -DVOIDROCKS_SANITIZE=ON)
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target voidrocks_soak
	@SDL_VIDEO_DRIVER=dummy ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1 \
		$(SANITIZE_BUILD)/tools/soak/voidrocks_soak --frames $(SOAK_SANITIZE_FRAMES)

# Arbitrary bytes as an image and as the font, for FUZZ_SECONDS, from the seeds in
# tools/fuzz/corpus (and the installed font); what it finds is written to $(FUZZ_BUILD).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: setup
	@scripts/setup.sh --fuzz
	$(call configure,$(FUZZ_BUILD),OFF,-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DVOIDROCKS_FUZZ=ON)
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target voidrocks_fuzz
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/found
	@{ printf F; cat Assets/Retro.ttf; } > $(FUZZ_BUILD)/corpus/font-retro
	@SDL_VIDEO_DRIVER=dummy ASAN_OPTIONS=detect_leaks=0 $(FUZZ_BUILD)/tools/fuzz/voidrocks_fuzz \
		-max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
		-artifact_prefix=$(FUZZ_BUILD)/found/ $(FUZZ_BUILD)/corpus tools/fuzz/corpus

# The real executable for a few hundred frames under valgrind's memcheck.
memcheck: build
	@scripts/setup.sh --memcheck
	@scripts/memcheck.sh $(BUILD)/voidrocks
