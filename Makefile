# The two commands of the README: `make run` and `make test`. Each installs what is missing first.
BUILD_DIR := build
PRESET := default

.PHONY: run test deps build clean

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

test: build
	@ctest --preset $(PRESET)

clean:
	rm -rf $(BUILD_DIR)
