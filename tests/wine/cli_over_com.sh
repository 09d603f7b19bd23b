#!/usr/bin/env bash
# zentrola-cli.exe under Wine against zentrola-unit on COM26 of the Wine prefix (a link in its
# dosdevices folder to the unit's pseudo-terminal): info, read, program and verify, each with
# its exit status and what it printed, and the unit's EEPROM afterwards.
# usage: cli_over_com.sh ZENTROLA-UNIT ZENTROLA-CLI.EXE TEST-DATA-DIR
set -uo pipefail
unit=$1 cli=$2 data=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
prefix=${WINEPREFIX:-$HOME/.wine}
link=$prefix/dosdevices/com26
work=$(mktemp -d)
pid=
failures=0
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT

check() { # what, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]" >&2
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}
cli() { # runs zentrola-cli.exe; stdout into $work/out, stderr into $work/err, status in $status
  "$wine" "$cli" "$@" >"$work/out" 2>"$work/err"
  status=$?
  tr -d '\r' <"$work/out" >"$work/out.txt"
  tr -d '\r' <"$work/err" >"$work/err.txt"
}
start_unit() {
  "$unit" --link "$link" --eeprom "$work/eeprom.txt" "$@" &
  pid=$!
  for _ in $(seq 100); do
    [ -c "$(readlink "$link" 2>/dev/null)" ] && return 0
    sleep 0.05
  done
  echo "FAIL: zentrola-unit did not come up" >&2
  exit 1
}
stop_unit() {
  kill "$pid" && wait "$pid"
  pid=
}

start_unit

cli info --port COM26
check "info: exit" 0 "$status"
check "info: versions line" "PC-92, IGN-92" "$(sed -n 4p "$work/out.txt")"

# A file of our own programmed, verified, then read back: the same bytes.
sed 's/^BASE_ADV .*/BASE_ADV       12 /' "$data/default_v92.ign" >"$work/in.ign"
cli program 'Z:'"${work//\//\\}"'\in.ign' --port com26
check "program: exit" 0 "$status"
check "program: last message" "Programing: OK" "$(grep -v '^$' "$work/err.txt" | tail -1)"

cli verify 'Z:'"${work//\//\\}"'\in.ign' --port COM26
check "verify: exit" 0 "$status"
check "verify: last message" "Verify: OK" "$(grep -v '^$' "$work/err.txt" | tail -1)"

cli read --port COM26 -o 'Z:'"${work//\//\\}"'\back.ign'
check "read: exit" 0 "$status"
cli diff 'Z:'"${work//\//\\}"'\in.ign' 'Z:'"${work//\//\\}"'\back.ign'
check "read: the file read back has the programmed settings" "0:" "$status:$(cat "$work/out.txt")"

stop_unit
# The unit keeps what was programmed: its EEPROM against the 150 numbers read before.
start_unit
cli read --port COM26
check "read to stdout: exit" 0 "$status"
check "read to stdout: 15 lines of numbers" 15 "$(grep -c '[0-9]' "$work/out.txt")"
stop_unit
check "the unit's EEPROM holds the programmed bytes" \
  "$(grep -v '^#' "$work/eeprom.txt" | tr -s ' \n' '\n\n' | grep -v '^$' | head -100 | tr '\n' ' ')" \
  "$(tr -s ' \n' '\n\n' <"$work/out.txt" | grep -v '^$' | head -100 | tr '\n' ' ')"

# No unit on the port: a port error, with the system's reason.
cli info --port COM39
check "missing port: exit" 4 "$status"
check "missing port: the message" 1 "$(grep -c '^Com opening error!' "$work/err.txt")"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
