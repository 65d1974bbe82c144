# The two commands of the README: `make run` and `make test`. Each installs what is missing first.
BUILD_DIR := build
PRESET := default

.PHONY: run test deps build clean build-asan build-fuzz fuzz

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

# The suite in the normal build, again under the sanitizers, then each fuzz target briefly.
test: build build-asan build-fuzz
	@ctest --preset $(PRESET)
	@ctest --preset asan
	@ctest --preset fuzz

build-asan build-fuzz: build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

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

clean:
	rm -rf $(BUILD_DIR) build-asan build-fuzz
