#!/usr/bin/env bash
# Runs a test program on an X display of its own under a window manager, as
# the desk runs on an operator's machine: frames, placement and moves are the
# window manager's, not the offscreen platform's. Listing the tests needs no display.
set -euo pipefail
case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac

work=$(mktemp -d)
xvfb="" wm=""
stop() { [ -n "$1" ] && { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }; }
cleanup() {
  stop "$wm"
  stop "$xvfb"
  rm -rf "$work"
}
trap cleanup EXIT

# The server takes a free display and writes its number once it listens.
# -noreset: it would otherwise refuse clients for a moment each time its last
# client leaves, which the readiness checks below are.
# The screen's size: BLOKPOST_SCREEN, a laptop's unless told.
Xvfb -displayfd 3 -screen 0 "${BLOKPOST_SCREEN:-1366x768}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do grep -q '^[0-9]\+$' "$work/display" 2>/dev/null && break; sleep 0.1; done
grep -q '^[0-9]\+$' "$work/display" || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

openbox --sm-disable >"$work/wm.log" 2>&1 &
wm=$!
# The window manager is ready once it has announced itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" ||
  { cat "$work/wm.log" >&2; echo "openbox did not start on $DISPLAY" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
