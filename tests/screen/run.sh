#!/usr/bin/env bash
# Runs a program on a 1366 x 768 virtual display with a window manager that keeps a task
# bar's 40 pixels free, at the given desktop scaling:
#   run.sh SCALE PROGRAM [ARGUMENTS...]     (SCALE 1, 1.25, 1.5, ...)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scale=$1
shift
for tool in xvfb-run openbox xprop; do
  command -v "$tool" >/dev/null || {
    echo "run.sh: $tool is missing (scripts/setup installs it)" >&2
    exit 1
  }
done
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" LC_ALL=C.UTF-8
unset QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
# shellcheck disable=SC2016
exec xvfb-run -a -s "-screen 0 1366x768x24" sh -c '
  openbox --sm-disable --config-file "$1" >/dev/null 2>&1 &
  wm=$!
  # Until the window manager has taken the screen (at most five seconds).
  i=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    i=$((i + 1))
    [ "$i" -le 100 ] || { echo "run.sh: the window manager did not start" >&2; exit 1; }
    sleep 0.05
  done
  shift
  "$@"
  status=$?
  kill "$wm" 2>/dev/null
  exit $status
' run "$here/openbox-rc.xml" "$@"
