# The two commands of the README: `make run` and `make test`. Each installs what is missing first.
BUILD_DIR := build
PRESET := default

.PHONY: run test deps build clean build-asan build-fuzz build-windows fuzz package deps-web \
  build-web test-web serve-web
# Tests run in parallel, one per core.
CTEST_JOBS ?= $(shell nproc 2>/dev/null || echo 2)

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@if [ -z "$${DISPLAY:-}" ] && [ -z "$${WAYLAND_DISPLAY:-}" ]; then \
	  echo "No display to show the window on: run it as 'xvfb-run make run' or from a desktop session."; \
	  exit 1; \
	fi
	@$(BUILD_DIR)/universal-programmer

# The suite in the normal build, again under the sanitizers, then each fuzz target briefly, then
# the Windows build's tests under Wine, then the page's in Chromium.
test: build build-asan build-fuzz build-windows build-web
	@ctest --preset $(PRESET) --parallel $(CTEST_JOBS)
	@ctest --preset asan --parallel $(CTEST_JOBS)
	@ctest --preset fuzz --parallel $(CTEST_JOBS)
	@ctest --preset windows --parallel $(CTEST_JOBS)
	@ctest --preset web --parallel $(CTEST_JOBS)

build-asan build-fuzz build-windows: build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

# The page (a browser's build, with Emscripten): build-web/site holds what a web server serves.
# Its tests drive Debian's Chromium through puppeteer-core (tests/web).
deps-web:
	@scripts/install-deps.sh web

build-web: deps-web
	@cmake --preset web >/dev/null
	@cmake --build --preset web

test-web: build-web
	@ctest --preset web --parallel $(CTEST_JOBS)

# Serves the page on this machine only, to try it: http://127.0.0.1:$(WEB_PORT)/
WEB_PORT ?= 8027
serve-web: build-web
	@echo "The page: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops serving)"
	@python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build-web/site

# Long fuzzing: each target for FUZZ_SECONDS from its committed corpus. New inputs collect in
# fuzz-out/<target>, and whatever a target finds in fuzz-out/findings: add it to the corpus.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := fuzz_loadconfig fuzz_loadsettings fuzz_receiver
fuzz: build-fuzz
	@for target in $(FUZZ_TARGETS); do \
	  mkdir -p fuzz-out/findings fuzz-out/$$target; \
	  seeds=tests/corpus/$$target; [ $$target = fuzz_receiver ] || seeds="$$seeds tests/corpus/bad"; \
	  echo "== $$target for $(FUZZ_SECONDS) s"; \
	  QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp \
	    build-fuzz/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -timeout=5 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=fuzz-out/findings/$$target- \
	    fuzz-out/$$target $$seeds || exit 1; \
	done

# The .deb and the device maker's .tar.gz, in dist/: a Release build without the tests (preset
# "package", build-package/) with Debian's hardening flags, packaged by CPack. Then the Windows
# zip, from the Windows build (preset "windows", build-windows/) by CPack's ZIP generator. Then
# the web zip, the page's folder from a browser's build without its tests (preset "web-package").
PACKAGE_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: deps deps-web
	@cmake --preset package \
	  -DCMAKE_C_FLAGS="$$($(PACKAGE_FLAGS) CPPFLAGS) $$($(PACKAGE_FLAGS) CFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$($(PACKAGE_FLAGS) CPPFLAGS) $$($(PACKAGE_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(PACKAGE_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build --preset package
	@cpack --config build-package/CPackConfig.cmake -B dist
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows
	@cpack --config build-windows/CPackConfig.cmake -B dist
	@cmake --preset web-package >/dev/null
	@cmake --build --preset web-package
	@cpack --config build-web-package/CPackConfig.cmake -B dist
	@rm -rf dist/_CPack_Packages
	@ls -l dist/*.deb dist/*.tar.gz dist/*.zip

clean:
	rm -rf $(BUILD_DIR) build-asan build-fuzz build-package build-windows build-web \
  build-web-package dist
