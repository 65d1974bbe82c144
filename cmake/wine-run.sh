#!/bin/sh
# Runs a cross-built Windows program under Wine in the build's own prefix: wine-run.sh PREFIX
# PROGRAM [ARGUMENTS...]. CTest uses it as the emulator of the Windows build; the prefix and its
# session are made by tests/wine/session.sh (the fixture wine_session). Quiet: no debug channels,
# no prompt to install the .NET or HTML engines. Wine passes the program's exit status through.
prefix=$(realpath -m "$1")
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
