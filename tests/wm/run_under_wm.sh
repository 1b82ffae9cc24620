#!/bin/sh
# Runs a command on a display of its own with a window manager: Xvfb on a free display number
# and openbox, so that a window gets the frame, the placement and the late resizes it gets on a
# desktop. Exits 77 (ctest: skipped) when Xvfb, openbox or xprop is missing. A test listing
# needs no display and runs as it is.
#   run_under_wm.sh PROGRAM [ARGS...]
# ZORVA_WM_SCREEN sets the screen (default 1600x1000x24).
set -u
for arg in "$@"; do
  if [ "$arg" = "--gtest_list_tests" ]; then exec env QT_QPA_PLATFORM=offscreen "$@"; fi
done
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed: the window-manager test is skipped" >&2
    exit 77
  fi
done

work=$(mktemp -d)
xvfb=""
wm=""
cleanup() {
  # A test that ended while holding the window manager still leaves it stopped.
  [ -n "$wm" ] && kill -CONT "$wm" 2>/dev/null && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits up to 10 s for a started server to answer CHECK; gives up at once if it died.
wait_for() {  # NAME PID LOG CHECK...
  local name=$1 pid=$2 log=$3 i=0
  shift 3
  until "$@"; do
    i=$((i + 1))
    if [ $i -gt 200 ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "$name did not start:" >&2
      cat "$log" >&2
      exit 1
    fi
    sleep 0.05
  done
}
display_written() { grep -q '[0-9]' "$work/display" 2>/dev/null; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Xvfb picks a free display number and writes it to fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 "${ZORVA_WM_SCREEN:-1600x1000x24}" -nolisten tcp -noreset \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
wait_for Xvfb "$xvfb" "$work/xvfb.log" display_written
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# openbox with the system's default settings, its caches in the private folder.
XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" HOME="$work" \
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
wait_for openbox "$wm" "$work/openbox.log" wm_running

# A test may hold the window manager still for a while (wm_support.h: TLateWindowManager).
ZORVA_WM_PID=$wm QT_QPA_PLATFORM=xcb "$@"
status=$?
exit $status
