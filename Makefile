# `make help` lists every command; `make run` and `make test` are the two a newcomer needs.
# The folders of the builds in CMakePresets.json (dev, player, sanitize, fuzz), each configured
# through scripts/configure.sh.
BUILD := build
RUN_BUILD := build-run
SANITIZE_BUILD := build-sanitize
FUZZ_BUILD := build-fuzz
# The Windows build, cross-built with its own toolchain file.
WINDOWS_BUILD := build-windows
# The browser build: the page and the suite under node, from one folder.
WEB_BUILD := build-web
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# Warnings are errors in CI and for developers who ask (WERROR=ON); a newcomer's `make test`
# with a newer compiler only shows them.
WERROR ?= $(if $(CI),ON,OFF)

.PHONY: help setup build player-build sanitize-build run test test-sanitize bench format package install uninstall soak \
	soak-sanitize fuzz memcheck windows-build windows test-windows check-windows-zip web-build web \
	test-web check-web

help:
	@echo "make run            install what is missing, build and start the game"
	@echo "make test           install what is missing, build and run every test"
	@echo "make package        a Debian package of the game: $(RUN_BUILD)/voidrocks_<version>_<arch>.deb"
	@echo "make install        the game under PREFIX (default /usr/local; DESTDIR works too)"
	@echo "make uninstall      remove every file and folder that make install added"
	@echo "make test-sanitize  every test built with AddressSanitizer and UndefinedBehaviorSanitizer"
	@echo "make bench          the benchmarks, then the game measured in an X11 window without a GPU"
	@echo "make soak           whole games back to back, the bookkeeping checked every frame"
	@echo "make soak-sanitize  a shorter soak under the sanitizers"
	@echo "make fuzz           arbitrary bytes as an image and as the font, for FUZZ_SECONDS"
	@echo "make memcheck       the real game headless under valgrind's memcheck"
	@echo "make format         clang-format over every source"
	@echo "make windows        a zip for 64-bit Windows, cross-built: $(WINDOWS_BUILD)/Voidrocks-<version>-win64.zip"
	@echo "make test-windows   every test cross-built for Windows and run under Wine"
	@echo "make check-windows-zip  the zip unpacked and played under Wine, headless and on an Xvfb screen"
	@echo "make web            the game as a web page in $(WEB_BUILD)/ (browser toolchain built once)"
	@echo "make test-web       every test built for the browser and run under node"
	@echo "make check-web      the page played in headless Chromium with real key presses"
	@echo "make setup          only install what is missing"
	@echo "Warnings are errors with WERROR=ON (the default when CI is set)."

setup:
	@scripts/setup.sh

# Tests, benchmarks and tools.
build: setup
	@scripts/configure.sh dev -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Only the game, and a newer compiler's new warning stays a warning.
player-build: setup
	@scripts/configure.sh player >/dev/null
	@cmake --build $(RUN_BUILD) -j $(JOBS)

run: player-build
	@$(RUN_BUILD)/voidrocks

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-build: setup
	@scripts/configure.sh sanitize -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize: sanitize-build
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The headless benchmarks, then the real game measured in an X11 window without a GPU.
bench: build
	@echo "(Debian builds its Google Benchmark library without NDEBUG, so it calls itself a DEBUG"
	@echo " build below; the game's code it measures is built optimised, as RelWithDebInfo.)"
	@$(BUILD)/bench/voidrocks_bench
	@scripts/measure-x11.sh
	@scripts/measure-startup.sh

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

# A Debian package of the player's build, installed under /usr.
package: player-build
	@cd $(RUN_BUILD) && cpack -G DEB
	@ls $(RUN_BUILD)/voidrocks_*.deb

# The package's layout under PREFIX (DESTDIR is honoured); what it added is listed in
# $(RUN_BUILD), and uninstall reads it back.
install: player-build
	@scripts/install.sh $(RUN_BUILD) "$(PREFIX)"

uninstall:
	@scripts/uninstall.sh $(RUN_BUILD)

# Whole games back to back with the bookkeeping checked after every frame.
SOAK_FRAMES ?= 200000
soak: build
	@SDL_VIDEO_DRIVER=dummy $(BUILD)/tools/soak/voidrocks_soak --frames $(SOAK_FRAMES)

# A shorter soak under the sanitizers, for CI.
SOAK_SANITIZE_FRAMES ?= 8000
soak-sanitize: setup
	@scripts/configure.sh sanitize -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target voidrocks_soak
	@SDL_VIDEO_DRIVER=dummy ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1 \
		$(SANITIZE_BUILD)/tools/soak/voidrocks_soak --frames $(SOAK_SANITIZE_FRAMES)

# Arbitrary bytes as an image and as the font, for FUZZ_SECONDS, from the seeds in
# tools/fuzz/corpus (and the installed font); what it finds is written to $(FUZZ_BUILD).
FUZZ_SECONDS ?= 60
fuzz: setup
	@scripts/setup.sh --fuzz
	@scripts/configure.sh fuzz >/dev/null
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

# Windows, cross-built with mingw-w64 against libraries that scripts/install-win64.sh builds
# once per machine; one folder for the game, the tests and the tools, whose programs run under
# Wine.
windows-build: setup
	@prefix=$$(scripts/install-win64.sh) && scripts/configure.sh windows -DCMAKE_PREFIX_PATH=$$prefix \
		-DVOIDROCKS_WIN64_PREFIX=$$prefix -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null

# Only the game is built for the zip; CPack installs it with its DLLs, Assets and licences.
windows: windows-build
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target voidrocks
	@rm -f $(WINDOWS_BUILD)/Voidrocks-*-win64.zip
	@cd $(WINDOWS_BUILD) && cpack -G ZIP >cpack.log || { cat cpack.log; exit 1; }
	@ls $(WINDOWS_BUILD)/Voidrocks-*-win64.zip

test-windows: windows-build
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

check-windows-zip: windows
	@scripts/check-windows-zip.sh $(WINDOWS_BUILD)/Voidrocks-*-win64.zip

# The browser build, with emscripten and libraries for wasm32 that scripts/install-web.sh builds
# once per machine; one folder whose game objects serve both the page and the tests under node.
web-build: setup
	@cache=$$(scripts/install-web.sh) && scripts/configure.sh web -DVOIDROCKS_WEB_CACHE=$$cache \
		-DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null

# The page: index.html, voidrocks.js, voidrocks.wasm and the preloaded Assets in voidrocks.data.
web: web-build
	@cmake --build $(WEB_BUILD) -j $(JOBS) --target voidrocks
	@cd $(WEB_BUILD) && ls -l index.html voidrocks.js voidrocks.wasm voidrocks.data

# The whole suite under node.
test-web: web-build
	@cmake --build $(WEB_BUILD) -j $(JOBS) --target voidrocks_tests
	@ctest --test-dir $(WEB_BUILD) --output-on-failure -j $(JOBS)

# The page served on 127.0.0.1 and played in headless Chromium with real key presses.
check-web: web
	@scripts/setup.sh --chromium
	@VOIDROCKS_WEB_CACHE="$$(scripts/install-web.sh --print-cache)" node web/check-browser.mjs $(WEB_BUILD)
