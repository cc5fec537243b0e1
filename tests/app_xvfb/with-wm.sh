#!/bin/sh
# Usage: with-wm.sh PROGRAM [ARGS...]: runs PROGRAM on the current X display
# (a private one: the test runs under its own xvfb-run)
# under a window manager of its own (openbox), so frames, title bars and
# minimising are the window manager's as on a desktop. Without openbox the
# program runs with ORBET_NO_WM=1 and its tests skip.
command -v openbox >/dev/null 2>&1 || ORBET_NO_WM=1 exec "$@"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# The window manager is up once it announces itself on the root window.
i=0
while [ $i -lt 100 ] && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
  sleep 0.1
  i=$((i + 1))
done
"$@"
rc=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $rc
