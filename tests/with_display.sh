#!/bin/sh
# Runs a command with an X display: the caller's own when it answers,
# otherwise a private Xvfb server on a free display number.
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
