#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; skips those present.
# With the argument `web`, what the browser's build and its tests need instead: Emscripten,
# Chromium, Node.js with npm, and the tests' pinned npm packages (tests/web/package-lock.json).
set -euo pipefail
if [ "${1:-}" = web ]; then
  packages=(cmake ninja-build make emscripten chromium python3 fonts-dejavu-core googletest)
  # The page's decode test shows Chromium on Xvfb, watched by the panel sampler: an X11 program
  # built for this machine with its own C compiler.
  packages+=(xvfb xauth gcc libx11-dev)
  # A machine may have Node.js from elsewhere, npm with it: Debian's then conflict with it.
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
else
  packages=(cmake ninja-build g++ make qt6-base-dev qt6-qpa-plugins xvfb xauth xdotool libx11-dev
  fonts-dejavu-core)
# The Qt backend asks a Wayland compositor for its seat before the toolkit connects: libwayland's
# client library and pkg-config, which finds it.
packages+=(libwayland-dev pkg-config)
# Packaging (dpkg-shlibdeps, dpkg-buildflags and file, which CPack runs for `make package`), and
# the package tests' checks: lintian, desktop-file-validate, appstreamcli, and xprop for the
# window's class.
packages+=(dpkg-dev file lintian desktop-file-utils appstream x11-utils)
# The package tests ask the desktop what a saved-settings file is and what opens it: xdg-mime, and
# the mimetype command that it uses outside a known desktop.
packages+=(xdg-utils libfile-mimeinfo-perl)
# The end-to-end suite: xprop and xwininfo read windows' sizes and hints, xclip fills the clipboard.
packages+=(x11-utils xclip)
# The desktops check runs the tool under a GTK desktop theme (dark, large font) through Qt's theme.
packages+=(qt6-gtk-platformtheme)
# The fuzz build: clang with its libFuzzer and sanitizer runtimes, and llvm for llvm-symbolizer.
packages+=(clang libclang-rt-14-dev llvm)
# The Wayland test: Weston and its screenshooter, Qt's wayland plugin, ImageMagick.
packages+=(weston qt6-wayland imagemagick)
# The sample device's firmware (firmware/): avr-gcc, avr-libc and binutils build it for the
# ATmega328P, and its tests run it on simavr's library (which reads the ELF with libelf).
packages+=(gcc-avr avr-libc binutils-avr libsimavr-dev libelf-dev)
# The suites both builds share use GoogleTest: Debian's library in the Linux builds, its sources
# in the Windows build.
packages+=(libgtest-dev googletest)
# The Windows build: mingw-w64 cross-compiles it, its tests run under Wine (with Wine's own fonts,
# which the dialogs' sizes depend on), and unzip opens the Windows zip in its test.
packages+=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine unzip)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The browser tests' npm packages, exactly as locked, once.
if [ "${1:-}" = web ]; then
  web_tests="$(dirname "$0")/../tests/web"
  if [ ! -d "$web_tests/node_modules/puppeteer-core" ]; then
    npm ci --prefix "$web_tests" --no-audit --no-fund --ignore-scripts
  fi
fi
