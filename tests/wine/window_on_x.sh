#!/usr/bin/env bash
# zentrola.exe under Wine on a real X display (Xvfb with openbox) against zentrola-unit on
# COM27 of the Wine prefix: the window comes up and finds the unit, F7 ends in "Verify: OK",
# F9 in "Programing: OK" and the unit holds what was programmed; a picture of the window goes
# to the given PNG file.
# usage: window_on_x.sh ZENTROLA-UNIT ZENTROLA.EXE SCREENSHOT.png
# Runs itself again inside xvfb-run when no display is given.
set -uo pipefail
if [ -z "${ZENTROLA_ON_X:-}" ]; then
  ZENTROLA_ON_X=1 exec xvfb-run -a -s "-screen 0 1366x768x24" "$0" "$@"
fi
unit=$1 program=$2 shot=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
prefix=${WINEPREFIX:-$HOME/.wine}
link=$prefix/dosdevices/com27
work=$(mktemp -d)
unit_pid= window_pid= wm_pid=
failures=0
cleanup() {
  for p in $window_pid $unit_pid $wm_pid; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT
check() {
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]" >&2
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}
# Waits up to $1 seconds for a line in the window's status log.
status_reaches() {
  for _ in $(seq $(($1 * 10))); do
    grep -qxF "$2" "$work/status.log" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

openbox >/dev/null 2>&1 &
wm_pid=$!
"$unit" --link "$link" --eeprom "$work/eeprom.txt" &
unit_pid=$!
for _ in $(seq 100); do
  [ -c "$(readlink "$link" 2>/dev/null)" ] && break
  sleep 0.05
done

mkdir -p "$work/config"
ZENTROLA_CONFIG_DIR="$work/config" ZENTROLA_STATUS_LOG="$work/status.log" LC_ALL=C.UTF-8 \
  "$wine" "$program" --port COM27 >"$work/window.log" 2>&1 &
window_pid=$!
wid=
for _ in $(seq 300); do
  wid=$(xdotool search --onlyvisible --name 'ZENTROLA' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
check "the window is shown" yes "$([ -n "$wid" ] && echo yes)"
[ -n "$wid" ] || { cat "$work/window.log" >&2; exit 1; }
sleep 2 # a few monitor frames, so that the unit is known to be there
xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"

xdotool key --window "$wid" F7
status_reaches 20 "Verify: OK"
check "F7 ends in Verify: OK" 0 "$?"
xdotool key --window "$wid" F9
status_reaches 20 "Programing: OK"
check "F9 ends in Programing: OK" 0 "$?"
sleep 1
import -window "$wid" "$shot"
check "the picture of the window" yes "$([ -s "$shot" ] && echo yes)"

# Closed by its window manager's close: the settings are written on the way out.
xdotool windowclose "$wid" 2>/dev/null || xdotool key --window "$wid" alt+F4
for _ in $(seq 100); do
  kill -0 "$window_pid" 2>/dev/null || break
  sleep 0.1
done
check "the window closes" no "$(kill -0 "$window_pid" 2>/dev/null && echo yes || echo no)"
window_pid=
check "its settings are written" yes "$([ -f "$work/config/ZENTROLA_v92.ini" ] && echo yes)"
kill "$unit_pid" && wait "$unit_pid"
unit_pid=
check "the unit was programmed once" 1 "$(grep -v '^#' "$work/eeprom.txt" | tail -1)"
if [ "$failures" -ne 0 ]; then
  echo "--- status lines:" >&2
  cat "$work/status.log" >&2
  exit 1
fi
