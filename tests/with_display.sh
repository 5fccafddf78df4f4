#!/bin/sh
# Runs a command with an X display: the caller's own when it answers,
# otherwise a private Xvfb server on a free display number. The server does
# not reset when its last client goes (-noreset): a test that closes one
# window and opens the next would otherwise connect during the reset and be
# refused.
#
# The OpenGL driver never frees some of its memory and is unloaded before a
# sanitizer build's leak check runs, which then reports it without a usable
# stack; leak checking is left to the tests that need no display.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export ASAN_OPTIONS
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$@"
